#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {

namespace {

constexpr size_t kHeaderBytes = 54;

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t RowBytes(uint64_t width) { return (3 * width + 3) / 4 * 4; }

}  // namespace

std::vector<uint8_t> BlankBmp(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const uint64_t size = kHeaderBytes + RowBytes(static_cast<uint64_t>(width)) * static_cast<uint64_t>(height);
  std::vector<uint8_t> b(static_cast<size_t>(size), 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(size));
  Put32(b, 10, kHeaderBytes);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  b[26] = 1;   // planes
  b[28] = 24;  // bits per pixel
  Put32(b, 38, 2834);
  Put32(b, 42, 2834);
  return b;
}

Bitmap::Bitmap(int width, int height) { LoadFromBmp(BlankBmp(width, height)); }

Bitmap::~Bitmap() = default;

void Bitmap::Clear() {
  width_ = height_ = 0;
  bytes_.clear();
}

std::vector<uint8_t> Bitmap::TakeBytes() {
  std::vector<uint8_t> bytes = std::move(bytes_);
  Clear();
  return bytes;
}

bool Bitmap::LoadFromBmp(std::vector<uint8_t> bytes) {
  Clear();
  if (bytes.size() < kHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M' || Get32(bytes, 10) != kHeaderBytes ||
      Get32(bytes, 14) != 40 || Get16(bytes, 26) != 1 || Get16(bytes, 28) != 24 || Get32(bytes, 30) != BI_RGB)
    return false;
  const auto width = static_cast<int32_t>(Get32(bytes, 18));
  const auto height = static_cast<int32_t>(Get32(bytes, 22));
  if (width < 0 || height < 0) return false;
  const uint64_t pixelBytes = RowBytes(static_cast<uint64_t>(width)) * static_cast<uint64_t>(height);
  if (bytes.size() != kHeaderBytes + pixelBytes) return false;
  width_ = width;
  height_ = height;
  bytes_ = std::move(bytes);
  return true;
}

void Bitmap::Draw(HDC dc, int x, int y) const {
  if (Empty()) return;
  RECT exposed;
  if (GetClipBox(dc, &exposed) == ERROR) return;
  const RECT picture{x, y, x + width_, y + height_};
  RECT part;
  if (!IntersectRect(&part, &exposed, &picture)) return;
  BITMAPINFO info{};
  std::memcpy(&info.bmiHeader, bytes_.data() + 14, sizeof info.bmiHeader);
  // Rows are stored bottom-up, so the source's y counts from the picture's bottom edge.
  SetDIBitsToDevice(dc, part.left, part.top, static_cast<DWORD>(part.right - part.left),
                    static_cast<DWORD>(part.bottom - part.top), part.left - x, y + height_ - part.bottom, 0,
                    static_cast<UINT>(height_), bytes_.data() + kHeaderBytes, &info, DIB_RGB_COLORS);
}

}  // namespace platform
