#include "conversion/xbm_decoder.h"

#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

#include "conversion/file_io.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace asg {
namespace {

constexpr uint64_t kXbmHeaderBytes = 64;
constexpr uint32_t kMaxGapPixels = 2048;

// Pixel conversion. Two building blocks write past their pixels on purpose,
// which keeps the inner loops free of tails:
//  - Convert8 turns 8 pixel words (16 bytes) into 24 bytes and writes up to 2
//    more bytes after them;
//  - ZeroGap16 writes 16 zero bytes.
// The row decoders call them only where the extra bytes stay inside the row
// being decoded and are rewritten by a later step of that row or by its pad;
// elsewhere they use the exact ConvertPixels.

// RGB565 to the 24-bit B,G,R value (blue in bits 0..7) through two tables, one
// indexed by the low byte of the word and one by the high byte; the two results
// never overlap, so they are OR-ed.
struct Rgb565Tables {
  uint32_t low[256];
  uint32_t high[256];
};

constexpr Rgb565Tables MakeRgb565Tables() {
  Rgb565Tables t{};
  for (uint32_t b = 0; b < 256; ++b) {
    const Rgb565Fields lo = SplitRgb565(static_cast<uint16_t>(b));
    const Rgb565Fields hi = SplitRgb565(static_cast<uint16_t>(b << 8));
    t.low[b] = (lo.blue * 8u) | (lo.green * 4u) << 8;
    t.high[b] = (hi.green * 4u) << 8 | (hi.red * 8u) << 16;
  }
  return t;
}

constexpr Rgb565Tables kRgb565 = MakeRgb565Tables();

inline uint32_t Bgr(const uint8_t* word) { return kRgb565.low[word[0]] | kRgb565.high[word[1]]; }

inline void Store32(uint8_t* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 4);
  } else {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
  }
}

// 4 pixels into exactly 12 bytes, as three 32-bit stores.
inline void Convert4(const uint8_t* src, uint8_t* dst) {
  const uint32_t p0 = Bgr(src), p1 = Bgr(src + 2), p2 = Bgr(src + 4), p3 = Bgr(src + 6);
  Store32(dst, p0 | p1 << 24);
  Store32(dst + 4, p1 >> 8 | p2 << 16);
  Store32(dst + 8, p2 >> 16 | p3 << 8);
}

inline void Convert1(const uint8_t* src, uint8_t* dst) {
  const uint32_t p = Bgr(src);
  dst[0] = static_cast<uint8_t>(p);
  dst[1] = static_cast<uint8_t>(p >> 8);
  dst[2] = static_cast<uint8_t>(p >> 16);
}

#if defined(__SSE2__)
// SSE2 (every x86-64): the three fields of 8 words at once, widened to 32-bit
// B,G,R,0 lanes, then packed to 6 bytes per 64-bit lane.
inline __m128i PackPairs(__m128i bgr0) {
  const __m128i low24 = _mm_set1_epi64x(0xFFFFFF);
  const __m128i high24 = _mm_set1_epi64x(0xFFFFFF000000);
  return _mm_or_si128(_mm_and_si128(bgr0, low24), _mm_and_si128(_mm_srli_epi64(bgr0, 8), high24));
}

inline void Convert8(const uint8_t* src, uint8_t* dst) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
  const __m128i f8 = _mm_set1_epi16(0xF8);
  const __m128i blue = _mm_and_si128(_mm_slli_epi16(v, 3), f8);
  const __m128i green = _mm_and_si128(_mm_slli_epi16(v, 5), _mm_set1_epi16(static_cast<short>(0xFC00)));
  const __m128i red = _mm_and_si128(_mm_srli_epi16(v, 8), f8);
  const __m128i blueGreen = _mm_or_si128(blue, green);
  const __m128i lo = PackPairs(_mm_unpacklo_epi16(blueGreen, red));
  const __m128i hi = PackPairs(_mm_unpackhi_epi16(blueGreen, red));
  // Each 8-byte store carries 6 bytes of pixels and 2 zero bytes that the next one overwrites.
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), lo);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 6), _mm_unpackhi_epi64(lo, lo));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 12), hi);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + 18), _mm_unpackhi_epi64(hi, hi));
}

inline void ZeroGap16(uint8_t* dst) { _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_setzero_si128()); }
#else
inline void Convert8(const uint8_t* src, uint8_t* dst) {
  Convert4(src, dst);
  Convert4(src + 8, dst + 12);
}

inline void ZeroGap16(uint8_t* dst) { std::memset(dst, 0, 16); }
#endif

// Converts `count` pixel words at `src` into exactly 3 * count bytes at `dst`.
void ConvertPixels(const uint8_t* src, uint8_t* dst, size_t count) {
  size_t i = 0;
  for (; i + 8 < count; i += 8) Convert8(src + 2 * i, dst + 3 * i);  // extra bytes land on pixels still to come
  for (; i + 4 <= count; i += 4) Convert4(src + 2 * i, dst + 3 * i);
  for (; i < count; ++i) Convert1(src + 2 * i, dst + 3 * i);
}

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

void WriteBmpHeader(uint8_t* h, uint32_t fileBytes, int32_t width, int32_t height) {
  std::memset(h, 0, kBmpHeaderBytes);
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, fileBytes);           // bfSize
  Put32(h + 10, kBmpHeaderBytes);    // bfOffBits
  Put32(h + 14, 40);                 // biSize
  Put32(h + 18, static_cast<uint32_t>(width));
  Put32(h + 22, static_cast<uint32_t>(height));  // positive: bottom-up rows
  Put16(h + 26, 1);                  // biPlanes
  Put16(h + 28, 24);                 // biBitCount
  Put32(h + 38, 2834);               // biXPelsPerMeter
  Put32(h + 42, 2834);               // biYPelsPerMeter
}

// Bounds-checked little-endian reads of the file held in memory.
class Input {
 public:
  explicit Input(std::span<const uint8_t> file) : data_(file.data()), size_(file.size()) {}
  uint64_t size() const { return size_; }
  bool Holds(uint64_t offset, uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }
  uint16_t U16(uint64_t offset) const {
    return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  uint32_t U32(uint64_t offset) const {
    return static_cast<uint32_t>(U16(offset)) | static_cast<uint32_t>(U16(offset + 2)) << 16;
  }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

XbmResult Fail(XbmResult r, XbmError error, std::string reason) {
  r.error = error;
  r.reason = std::move(reason);
  return r;
}

XbmResult Truncated(XbmResult r, const char* where, uint64_t offset) {
  return Fail(std::move(r), XbmError::Truncated,
              std::string("ends in ") + where + " at offset " + std::to_string(offset));
}

std::string RowAt(uint32_t row, uint64_t offset) {
  return "in row " + std::to_string(row) + " at offset " + std::to_string(offset);
}

struct Layout {
  int32_t width;
  int32_t height;
  uint64_t rowBytes;  // BMP bytes of one row, pad included
  uint8_t* pixels;    // first byte after the BMP header
  uint8_t* Row(uint32_t fileRow) const {  // rows are stored bottom-up
    return pixels + rowBytes * (static_cast<uint32_t>(height) - 1 - fileRow);
  }
  void Pad(uint8_t* row) const {
    for (uint32_t i = 0; i < static_cast<uint32_t>(width) % 4; ++i) row[3 * width + i] = 0;
  }
};

void DecodePlainRows(const Input& in, uint64_t dataStart, const Layout& out) {
  const uint64_t srcRowBytes = 2 * static_cast<uint64_t>(out.width);
  for (uint32_t row = 0; row < static_cast<uint32_t>(out.height); ++row) {
    uint8_t* dst = out.Row(row);
    ConvertPixels(in.At(dataStart + srcRowBytes * row), dst, static_cast<size_t>(out.width));
    out.Pad(dst);
  }
}

// The steps of a skip-run row write from left to right, each starting exactly at
// its first pixel, so bytes that a step writes past its own pixels are rewritten
// by the steps that follow or by the pad; nothing is written past the row's pad.
// Short gaps and runs are the common case of sprites with many holes, so the
// first 16 pixels of each are written unconditionally, with no loop exit to mispredict.
void WriteGap(uint8_t* dst, const uint8_t* rowEnd, uint32_t bytes) {
  if (bytes + 48 <= static_cast<uint64_t>(rowEnd - dst)) {
    ZeroGap16(dst);
    ZeroGap16(dst + 16);
    ZeroGap16(dst + 32);
    for (uint32_t i = 48; i < bytes; i += 16) ZeroGap16(dst + i);
  } else {
    std::memset(dst, 0, bytes);
  }
}

void WriteRun(const Input& in, uint64_t pos, uint32_t pixels, uint8_t* dst, const uint8_t* rowEnd) {
  const uint32_t groups = pixels <= 16 ? 2 : (pixels + 7) / 8;
  if (24 * groups + 2 <= static_cast<uint64_t>(rowEnd - dst) && in.Holds(pos, 16 * groups)) {
    const uint8_t* src = in.At(pos);
    Convert8(src, dst);
    Convert8(src + 16, dst + 24);
    for (uint32_t g = 2; g < groups; ++g) Convert8(src + 16 * g, dst + 24 * g);
  } else {
    ConvertPixels(in.At(pos), dst, pixels);
  }
}

// Each step of a row adds at least one pixel or fails, so the work per row is
// bounded by Width, whatever the file says.
XbmResult DecodeSkipRunRows(const Input& in, uint64_t dataStart, const Layout& out, XbmResult r) {
  const uint32_t width = static_cast<uint32_t>(out.width);
  for (uint32_t row = 0; row < static_cast<uint32_t>(out.height); ++row) {
    uint64_t pos = dataStart + in.U32(dataStart + 4 * static_cast<uint64_t>(row));
    uint8_t* dst = out.Row(row);
    uint32_t x = 0;
    for (;;) {
      if (!in.Holds(pos, 2)) return Truncated(std::move(r), "the row data", pos);
      const uint32_t gap = in.U16(pos) / 2u;
      if (gap > kMaxGapPixels)
        return Fail(std::move(r), XbmError::BadRun,
                    "gap of " + std::to_string(gap) + " pixels over 2048 " + RowAt(row, pos));
      if (gap > width - x)
        return Fail(std::move(r), XbmError::RowOverflow,
                    "gap passes width " + std::to_string(width) + " " + RowAt(row, pos));
      WriteGap(dst + 3 * x, dst + out.rowBytes, 3 * gap);
      x += gap;
      pos += 2;
      if (x == width) break;

      if (!in.Holds(pos, 2)) return Truncated(std::move(r), "the row data", pos);
      const uint32_t runBytes = in.U16(pos);
      const uint32_t run = runBytes / 2u;
      if (runBytes > kMaxRunBytes)
        return Fail(std::move(r), XbmError::BadRun,
                    "run of " + std::to_string(runBytes) + " bytes over 4096 " + RowAt(row, pos));
      if (gap == 0 && run == 0)
        return Fail(std::move(r), XbmError::BadRun, "gap and run add no pixel " + RowAt(row, pos));
      if (run > width - x)
        return Fail(std::move(r), XbmError::RowOverflow,
                    "run passes width " + std::to_string(width) + " " + RowAt(row, pos));
      pos += 2;
      if (!in.Holds(pos, runBytes)) return Truncated(std::move(r), "the row data", pos);
      WriteRun(in, pos, run, dst + 3 * x, dst + out.rowBytes);
      x += run;
      pos += runBytes;
      if (x == width) break;
    }
    out.Pad(dst);
  }
  return r;
}

XbmResult Decode(const Input& in, std::vector<uint8_t>& bmp) {
  XbmResult r;
  // The reading order of Part 1.2: Encoding, Width and Height, ExtraFlag, ExtraSize.
  if (!in.Holds(30, 2)) return Truncated(std::move(r), "the header", 30);
  const uint16_t encoding = in.U16(30);
  const int32_t width = static_cast<int32_t>(in.U32(20));
  const int32_t height = static_cast<int32_t>(in.U32(24));
  if (!in.Holds(36, 4)) return Truncated(std::move(r), "the header", 36);
  uint64_t dataStart = kXbmHeaderBytes;
  if (in.U32(36) != 0) {
    if (!in.Holds(40, 4)) return Truncated(std::move(r), "the header", 40);
    dataStart += in.U32(40);
  }
  r.header = {width, height, encoding, dataStart};
  r.headerRead = true;

  if (width < 0 || width > kMaxXbmWidth)
    return Fail(std::move(r), XbmError::BadWidth,
                "width " + std::to_string(width) + " outside 0..2048");
  if (height < 0)
    return Fail(std::move(r), XbmError::BadHeight,
                "height " + std::to_string(height) + " below 0");
  const uint64_t rowBytes = BmpRowBytes(width);
  const uint64_t imageBytes = kBmpHeaderBytes + rowBytes * static_cast<uint64_t>(height);
  if (imageBytes > kMaxBmpBytes)
    return Fail(std::move(r), XbmError::TooLarge,
                "image of " + std::to_string(imageBytes) + " bytes over 2147483647");

  // Before allocating, make sure the file holds what the header promises where
  // that is cheap, so a tiny file cannot claim a huge picture.
  const bool skipRun = encoding == 1;
  const uint64_t rows = static_cast<uint64_t>(height);
  if (skipRun && rows > 0 && !in.Holds(dataStart, 4 * rows)) {
    const uint64_t whole = dataStart > in.size() ? 0 : (in.size() - dataStart) / 4;
    return Truncated(std::move(r), "the row table", dataStart + 4 * whole);
  }
  if (!skipRun && width > 0 && rows > 0) {
    const uint64_t srcRowBytes = 2 * static_cast<uint64_t>(width);
    if (!in.Holds(dataStart, srcRowBytes * rows)) {
      const uint64_t whole = dataStart > in.size() ? 0 : (in.size() - dataStart) / srcRowBytes;
      return Truncated(std::move(r), "the row data", dataStart + srcRowBytes * whole);
    }
  }

  // No clearing first: a buffer that already has the size is reused without
  // a zero-fill; every byte of the image is written below.
  try {
    bmp.resize(static_cast<size_t>(imageBytes));
  } catch (const std::bad_alloc&) {
    return Fail(std::move(r), XbmError::OutOfMemory,
                "out of memory for an image of " + std::to_string(imageBytes) + " bytes");
  } catch (const std::length_error&) {
    return Fail(std::move(r), XbmError::OutOfMemory,
                "out of memory for an image of " + std::to_string(imageBytes) + " bytes");
  }
  WriteBmpHeader(bmp.data(), static_cast<uint32_t>(imageBytes), width, height);
  // Plain rows of Width 0 hold no bytes at all, so any Height is done at once;
  // skip-run rows still have their table and one SkipBytes word each.
  if (rows == 0 || (!skipRun && width == 0)) return r;

  const Layout out{width, height, rowBytes, bmp.data() + kBmpHeaderBytes};
  if (!skipRun) {
    DecodePlainRows(in, dataStart, out);
    return r;
  }
  return DecodeSkipRunRows(in, dataStart, out, std::move(r));
}

}  // namespace

XbmResult DecodeXbm(std::span<const uint8_t> file, std::vector<uint8_t>& bmp) {
  XbmResult r = Decode(Input(file), bmp);
  if (!r.ok()) bmp.clear();
  return r;
}

XbmResult ConvertXbmFile(const std::filesystem::path& path, std::vector<uint8_t>& bmp) {
  std::vector<uint8_t> file;
  bool read = false;
  try {
    read = ReadWholeFile(path, file);
  } catch (const std::bad_alloc&) {
    bmp.clear();
    return Fail(XbmResult{}, XbmError::OutOfMemory, "out of memory reading the file");
  }
  if (!read) {
    bmp.clear();
    return Fail(XbmResult{}, XbmError::CannotOpen, "cannot be opened or read");
  }
  return DecodeXbm(file, bmp);
}

std::string SizeText(int32_t width, int32_t height) {
  // "Размер: " in Windows-1251.
  return "\xD0\xE0\xE7\xEC\xE5\xF0: " + std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace asg
