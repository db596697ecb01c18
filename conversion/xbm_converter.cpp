#include "conversion/xbm_converter.h"

#include <algorithm>
#include <new>
#include <utility>

#include "conversion/xbm_decoder.h"

namespace asg {
namespace {

// The image goes out a piece of rows at a time, bottom row first, through a
// buffer that stays in the processor's cache.
constexpr size_t kPieceBytes = 256 * 1024;
// The pages of the input read so far are given back after every so many bytes
// of output: often enough that a large input is never held whole, seldom
// enough that a sprite of a few megabytes does not pay for it.
constexpr uint64_t kReleaseInputEvery = 8 << 20;

Outcome NoPixels(int32_t width, int32_t height) {
  return Outcome::Skipped("no pixels (" + std::to_string(width) + "x" + std::to_string(height) + "), not written");
}

Outcome OutOfMemory() { return Outcome::Failed(Outcome::Subject::Input, "out of memory"); }

}  // namespace

Outcome WriteBmpFile(const BmpImage& image, const std::filesystem::path& output, const OutputOptions& options) {
  if (!image.HasPixels()) return NoPixels(image.width(), image.height());
  std::string reason = WriteFileAtomically(output, image.bytes(), options.flush, options.temporaryNames);
  if (!reason.empty()) return Outcome::Failed(Outcome::Subject::Output, std::move(reason));
  return Outcome::Converted();
}

// Header first: a file refused on its header costs its first 64 bytes,
// whatever its size; then only the part of it that decoding reads.
Outcome XbmConverter::Load(const std::filesystem::path& input) {
  input_.Clear();
  InputFile file;
  if (std::string reason = file.Open(input); !reason.empty()) return InputFailed(std::move(reason));
  uint8_t head[kXbmHeaderBytes];
  const size_t headBytes = static_cast<size_t>(std::min<uint64_t>(file.size(), kXbmHeaderBytes));
  if (std::string reason = file.ReadAt(0, {head, headBytes}); !reason.empty()) return InputFailed(std::move(reason));
  const XbmResult verdict = CheckXbmHeader({head, headBytes}, file.size());
  if (!verdict.ok()) return InputFailed(verdict.reason);
  if (std::string reason = input_.Load(file, XbmBytesRead(verdict.header, file.size())); !reason.empty()) {
    return InputFailed(std::move(reason));
  }
  return Outcome::Converted();
}

// An input cut short by another program while it was read is reported as
// that, before anything else: its other faults may be the lost bytes'.
Outcome XbmConverter::InputFailed(std::string reason) const {
  if (!input_.Intact()) reason = "changed by another program while being read";
  return Outcome::Failed(Outcome::Subject::Input, std::move(reason));
}

// A damaged input is reported as such, whatever became of the output.
Outcome XbmConverter::OutputFailed(XbmRowDecoder& decoder, std::string reason) const {
  if (!input_.Intact() || !decoder.CheckAllRows()) return InputFailed(decoder.result().reason);
  return Outcome::Failed(Outcome::Subject::Output, std::move(reason));
}

Outcome XbmConverter::Decode(const std::filesystem::path& input, BmpImage& image) {
  Outcome outcome;
  try {
    outcome = Load(input);
    if (!outcome.failed()) {
      const XbmResult decoded = DecodeXbm(input_.bytes(), image);
      if (!decoded.ok() || !input_.Intact()) outcome = InputFailed(decoded.reason);
    }
  } catch (const std::bad_alloc&) {
    outcome = OutOfMemory();
  }
  if (outcome.failed()) image.Clear();
  input_.Clear();
  return outcome;
}

Outcome XbmConverter::Convert(const std::filesystem::path& input, const std::filesystem::path& output,
                              const OutputOptions& options) {
  Outcome outcome;
  try {
    outcome = Load(input);
    if (!outcome.failed()) {
      XbmRowDecoder decoder(input_.bytes());
      const XbmHeader& header = decoder.result().header;
      if (!decoder.result().ok()) {
        outcome = InputFailed(decoder.result().reason);
      } else if (header.width == 0 || header.height == 0) {
        // Skip-run rows of Width 0 still have their table and first words.
        outcome = decoder.CheckAllRows() && input_.Intact() ? NoPixels(header.width, header.height)
                                                            : InputFailed(decoder.result().reason);
      } else {
        AtomicFileWriter file(options.flush, options.temporaryNames);
        std::string reason = file.Create(output);
        outcome = reason.empty() ? WriteRows(decoder, file) : OutputFailed(decoder, std::move(reason));
      }
    }
  } catch (const std::bad_alloc&) {
    outcome = OutOfMemory();
  }
  input_.Clear();
  return outcome;
}

// Writes the whole image into `file` and commits it; a damaged row stops the
// writing, and the writer dropped then leaves nothing behind.
Outcome XbmConverter::WriteRows(XbmRowDecoder& decoder, AtomicFileWriter& file) {
  const uint64_t rowBytes = decoder.rowBytes();
  const XbmHeader& header = decoder.result().header;
  piece_.resize(static_cast<size_t>(
      std::min<uint64_t>(decoder.imageBytes(), std::max<uint64_t>(kPieceBytes, kBmpHeaderBytes + rowBytes))));
  WriteBmpHeader(std::span<uint8_t, kBmpHeaderBytes>(piece_.data(), kBmpHeaderBytes), header.width, header.height);
  size_t used = kBmpHeaderBytes;
  uint64_t sinceRelease = 0;
  for (uint32_t row = 0; row < decoder.height();) {
    const uint32_t count =
        static_cast<uint32_t>(std::min<uint64_t>(decoder.height() - row, (piece_.size() - used) / rowBytes));
    if (!decoder.DecodeRows(row, count, piece_.data() + used)) return InputFailed(decoder.result().reason);
    used += static_cast<size_t>(count * rowBytes);
    row += count;
    if (piece_.size() - used < rowBytes || row == decoder.height()) {
      if (std::string reason = file.Write({piece_.data(), used}); !reason.empty()) {
        return OutputFailed(decoder, std::move(reason));
      }
      if ((sinceRelease += used) >= kReleaseInputEvery) {
        input_.ReleasePages();
        sinceRelease = 0;
      }
      used = 0;
    }
  }
  if (!input_.Intact()) return InputFailed({});
  if (std::string reason = file.Commit(); !reason.empty()) return OutputFailed(decoder, std::move(reason));
  return Outcome::Converted();
}

}  // namespace asg
