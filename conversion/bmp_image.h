#pragma once
// A bottom-up 24-bit BMP picture held whole in memory as the bytes of its file.
// The only place that writes a BMP header and knows how long a row is.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace asg {

inline constexpr uint32_t kBmpHeaderBytes = 54;       // file header and info header, no colour table
inline constexpr uint64_t kMaxBmpBytes = 0x7FFFFFFF;  // largest image we build

// BMP row length in bytes for a row of `width` pixels: 3 bytes a pixel, then
// width % 4 zero bytes, which bring the row to a multiple of 4.
constexpr uint32_t BmpRowBytes(int32_t width) {
  return 3u * static_cast<uint32_t>(width) + static_cast<uint32_t>(width) % 4u;
}

// Length of the BMP file of a width x height picture (both at least 0).
constexpr uint64_t BmpFileBytes(int32_t width, int32_t height) {
  return kBmpHeaderBytes + uint64_t{BmpRowBytes(width)} * static_cast<uint64_t>(height);
}

using BmpHeaderBytes = std::array<uint8_t, kBmpHeaderBytes>;

// Writes the header of a width x height picture (width 0..2048, height at
// least 0, the file at most kMaxBmpBytes): "BM", the file's length, 24 bits a
// pixel, uncompressed, rows bottom-up (a positive height), 2834 pixels a metre
// (72 dots an inch); every other field 0. Fields are written byte by byte.
void WriteBmpHeader(std::span<uint8_t, kBmpHeaderBytes> header, int32_t width, int32_t height);

class BmpImage {
 public:
  // No picture at all: 0 x 0 and no bytes, not even a header.
  BmpImage() = default;
  // A black picture; a width or height below 0 counts as 0.
  static BmpImage Black(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  bool HasPixels() const { return width_ > 0 && height_ > 0; }
  uint32_t rowBytes() const { return BmpRowBytes(width_); }

  // The whole BMP file: empty, or the header and then the rows.
  std::span<const uint8_t> bytes() const { return bytes_; }
  // The header; only of a picture that has its bytes.
  std::span<const uint8_t, kBmpHeaderBytes> header() const;
  // The rows, bottom row first, each rowBytes() long with its pad.
  std::span<const uint8_t> rows() const;

  // Makes this a width x height picture (limits as for WriteBmpHeader) with
  // its header written, and returns its rows for the caller to fill, every
  // byte of them, pad included. The memory of the previous picture is reused
  // where it is large enough; its bytes are not cleared first. Throws
  // std::bad_alloc, leaving the picture empty.
  std::span<uint8_t> Reshape(int32_t width, int32_t height);
  // No picture at all, as a new BmpImage; the memory is given back.
  void Clear();

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace asg
