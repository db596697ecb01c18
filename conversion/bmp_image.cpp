#include "conversion/bmp_image.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <new>

namespace asg {
namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

}  // namespace

void WriteBmpHeader(std::span<uint8_t, kBmpHeaderBytes> header, int32_t width, int32_t height) {
  assert(width >= 0 && height >= 0 && BmpFileBytes(width, height) <= kMaxBmpBytes);
  uint8_t* h = header.data();
  std::memset(h, 0, kBmpHeaderBytes);
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<uint32_t>(BmpFileBytes(width, height)));  // bfSize
  Put32(h + 10, kBmpHeaderBytes);                                    // bfOffBits
  Put32(h + 14, 40);                                                 // biSize
  Put32(h + 18, static_cast<uint32_t>(width));
  Put32(h + 22, static_cast<uint32_t>(height));  // positive: bottom-up rows
  Put16(h + 26, 1);                              // biPlanes
  Put16(h + 28, 24);                             // biBitCount
  Put32(h + 38, 2834);                           // biXPelsPerMeter
  Put32(h + 42, 2834);                           // biYPelsPerMeter
}

BmpImage BmpImage::Black(int32_t width, int32_t height) {
  BmpImage image;
  const std::span<uint8_t> rows = image.Reshape(std::max(width, 0), std::max(height, 0));
  std::fill(rows.begin(), rows.end(), uint8_t{0});
  return image;
}

std::span<const uint8_t, kBmpHeaderBytes> BmpImage::header() const {
  assert(bytes_.size() >= kBmpHeaderBytes);
  return std::span<const uint8_t, kBmpHeaderBytes>(bytes_.data(), kBmpHeaderBytes);
}

std::span<const uint8_t> BmpImage::rows() const {
  if (bytes_.empty()) return {};
  return std::span<const uint8_t>(bytes_).subspan(kBmpHeaderBytes);
}

std::span<uint8_t> BmpImage::Reshape(int32_t width, int32_t height) {
  try {
    bytes_.resize(static_cast<size_t>(BmpFileBytes(width, height)));
  } catch (const std::bad_alloc&) {
    Clear();
    throw;
  }
  width_ = width;
  height_ = height;
  WriteBmpHeader(std::span<uint8_t, kBmpHeaderBytes>(bytes_.data(), kBmpHeaderBytes), width, height);
  return std::span<uint8_t>(bytes_).subspan(kBmpHeaderBytes);
}

void BmpImage::Clear() {
  width_ = height_ = 0;
  std::vector<uint8_t>().swap(bytes_);
}

}  // namespace asg
