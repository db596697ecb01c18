#pragma once
// Decoding of Ashgrove XBM sprites (RGB565, plain or skip-run rows) into
// complete bottom-up 24-bit BMP file images. Portable: no platform calls.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "conversion/bmp_image.h"

namespace asg {

inline constexpr int32_t kMaxXbmWidth = 2048;   // pixels in one row
inline constexpr uint32_t kMaxRunBytes = 4096;  // bytes of pixel words in one run
inline constexpr uint32_t kXbmHeaderBytes = 64;

struct EmptyPairJumps;  // the decoder's own record of runs of pairs without pixels

// The header fields that decoding uses.
struct XbmHeader {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t encoding = 0;  // 1 = skip-run rows, every other value plain rows
  uint64_t dataStart = 64;
};

enum class XbmError : uint8_t {
  None,
  CannotOpen,   // missing, not a regular file, or not readable
  Truncated,    // ends before the 64-byte header, the row table or the row data
  BadWidth,     // Width outside 0..2048
  BadHeight,    // Height below 0
  BadRun,       // a run over 4096 bytes or a gap over 2048 pixels
  RowOverflow,  // gaps and runs of a row pass Width
  TooLarge,     // the BMP would exceed 2^31 - 1 bytes
  OutOfMemory,
};

struct XbmResult {
  XbmError error = XbmError::None;
  XbmHeader header;
  std::string reason;  // short English reason, with the offset where it applies;
                       // empty on success
  bool ok() const { return error == XbmError::None; }
};

// Decodes a whole XBM file held in memory into `image`, in the memory of the
// picture it held before. On failure `image` is empty (no bytes at all).
XbmResult DecodeXbm(std::span<const uint8_t> file, BmpImage& image);

// Decodes an XBM file held in memory a few rows at a time, in any order, for
// callers that write the image out as they go instead of holding it whole;
// the header before the rows is WriteBmpHeader's. DecodeXbm is built on it,
// so both give the same bytes and the same reasons.
class XbmRowDecoder {
 public:
  // Reads the header and checks it, and the row table, against the file.
  explicit XbmRowDecoder(std::span<const uint8_t> file);
  ~XbmRowDecoder();
  XbmRowDecoder(const XbmRowDecoder&) = delete;
  XbmRowDecoder& operator=(const XbmRowDecoder&) = delete;

  // Success, or why the header or a row could not be decoded.
  const XbmResult& result() const { return result_; }
  uint32_t height() const { return static_cast<uint32_t>(result_.header.height); }
  uint32_t rowBytes() const { return BmpRowBytes(result_.header.width); }
  uint64_t imageBytes() const { return BmpFileBytes(result_.header.width, result_.header.height); }

  // Writes `count` rows in BMP order (row 0 is the bottom row) from `firstRow`
  // on, rowBytes() each, pad included. Returns false when a row is damaged;
  // result() then names the first damaged row in the file's order, wherever
  // the rows asked for lie, so the reason does not depend on the order of
  // calls.
  bool DecodeRows(uint32_t firstRow, uint32_t count, uint8_t* dst);

  // Checks every row without keeping the pixels; false as for DecodeRows.
  bool CheckAllRows();

 private:
  std::span<const uint8_t> file_;
  XbmResult result_;
  std::unique_ptr<EmptyPairJumps> emptyPairJumps_;
};

// The verdict on a file of `fileSize` bytes from its header alone: `head`
// holds the file's first 64 bytes, or all of a shorter file. A file that
// passes may still fail in its rows.
XbmResult CheckXbmHeader(std::span<const uint8_t> head, uint64_t fileSize);

// How many bytes from the start of a file whose header passed decoding reads:
// plain rows end with the last row, skip-run rows may lie anywhere.
uint64_t XbmBytesRead(const XbmHeader& header, uint64_t fileSize);

// The pixel code that decoding uses: the fastest one this processor runs (the
// default), or the portable one, for tests and benchmarks that compare them.
enum class PixelCode { Fastest, Portable };
void UsePixelCode(PixelCode code);

// The three fields of an RGB565 word, unscaled.
struct Rgb565Fields {
  uint8_t blue;   // bits 0..4
  uint8_t green;  // bits 5..10
  uint8_t red;    // bits 11..15
};
constexpr Rgb565Fields SplitRgb565(uint16_t v) {
  return {static_cast<uint8_t>(v & 0x1F), static_cast<uint8_t>((v >> 5) & 0x3F),
          static_cast<uint8_t>(v >> 11)};
}

// "Размер: 64x48" in Windows-1251.
std::string SizeText(int32_t width, int32_t height);

}  // namespace asg
