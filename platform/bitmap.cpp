#include "platform/bitmap.h"

#include <filesystem>

#include "platform/text.h"

namespace platform {

asg::Outcome Bitmap::SaveToFile(std::string_view fileName) const {
  return asg::WriteBmpFile(image_, std::filesystem::path(WidenName(fileName)));
}

void Bitmap::Draw(HDC dc, int x, int y) const {
  if (Empty()) return;
  RECT exposed;
  if (GetClipBox(dc, &exposed) == ERROR) return;
  const RECT picture{x, y, x + Width(), y + Height()};
  RECT part;
  if (!IntersectRect(&part, &exposed, &picture)) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = Width();
  info.bmiHeader.biHeight = Height();  // positive: rows bottom-up, as the image holds them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  // The source's y counts from the picture's bottom edge.
  SetDIBitsToDevice(dc, part.left, part.top, static_cast<DWORD>(part.right - part.left),
                    static_cast<DWORD>(part.bottom - part.top), part.left - x, y + Height() - part.bottom, 0,
                    static_cast<UINT>(Height()), image_.rows().data(), &info, DIB_RGB_COLORS);
}

}  // namespace platform
