// libFuzzer target: DecodeXbm either fails with an empty image or returns
// exactly the image its header describes.
#include <cstdint>
#include <cstdlib>

#include "conversion/xbm_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Pictures over 64 MB are legal but slow; the fuzzer's time is better spent elsewhere.
  if (size >= 28) {
    const int32_t width = static_cast<int32_t>(data[20] | data[21] << 8 | data[22] << 16 | uint32_t{data[23]} << 24);
    const int32_t height = static_cast<int32_t>(data[24] | data[25] << 8 | data[26] << 16 | uint32_t{data[27]} << 24);
    if (width > 0 && width <= asg::kMaxXbmWidth && height > 0 &&
        uint64_t{asg::BmpRowBytes(width)} * static_cast<uint64_t>(height) > (64u << 20))
      return -1;  // not added to the corpus
  }
  asg::BmpImage bmp;
  const asg::XbmResult r = asg::DecodeXbm({data, size}, bmp);
  if (!r.ok()) {
    if (!bmp.bytes().empty() || r.reason.empty()) std::abort();
    return 0;
  }
  const uint64_t want = 54 + uint64_t{asg::BmpRowBytes(r.header.width)} * static_cast<uint64_t>(r.header.height);
  if (bmp.bytes().size() != want || bmp.bytes()[0] != 'B' || bmp.bytes()[1] != 'M' || bmp.width() != r.header.width ||
      bmp.height() != r.header.height)
    std::abort();
  return 0;
}
