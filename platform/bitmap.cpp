#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>

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

Bitmap::~Bitmap() { Clear(); }

void Bitmap::Clear() {
  if (dib_) DeleteObject(dib_);
  dib_ = nullptr;
  width_ = height_ = 0;
  bytes_.clear();
  bytes_.shrink_to_fit();
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

  if (width > 0 && height > 0) {
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, bytes.data() + 14, sizeof info.bmiHeader);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return false;
    std::memcpy(bits, bytes.data() + kHeaderBytes, static_cast<size_t>(pixelBytes));
    dib_ = dib;
  }
  width_ = width;
  height_ = height;
  bytes_ = std::move(bytes);
  return true;
}

void Bitmap::Draw(HDC dc, int x, int y) const {
  if (!dib_) return;
  RECT exposed;
  if (GetClipBox(dc, &exposed) == ERROR) return;
  const RECT picture{x, y, x + width_, y + height_};
  RECT part;
  if (!IntersectRect(&part, &exposed, &picture)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, dib_);
  BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, source, part.left - x,
         part.top - y, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace platform
