#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Fills `picture` with a bottom-up 24-bit image of width x height whose pixel
// (x, y) from the top-left is colour(x, y).
template <class ColorOf>
void Paint(Bitmap& picture, int width, int height, ColorOf colour) {
  const std::span<uint8_t> rows = picture.Image().Reshape(width, height);
  std::fill(rows.begin(), rows.end(), uint8_t{0});
  const size_t row = picture.Image().rowBytes();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      uint8_t* p = rows.data() + row * static_cast<size_t>(height - 1 - y) + 3 * static_cast<size_t>(x);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
}

std::vector<uint8_t> Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Bitmap, ANewBitmapIsBlackAndCarriesTheBmpBytesOfItsSize) {
  Bitmap one(1, 1);
  EXPECT_EQ(one.Width(), 1);
  EXPECT_EQ(one.Height(), 1);
  const std::vector<uint8_t> want = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                     0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x0B, 0, 0, 0x12, 0x0B, 0, 0,
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(one.Image().bytes().begin(), one.Image().bytes().end()), want);
}

TEST(Bitmap, APictureWithoutPixelsIsEmpty) {
  const struct {
    int width, height;
    bool empty;
  } cases[] = {{1, 1, false}, {0, 5, true}, {4, 0, true}, {-2, 3, true}};
  for (const auto& c : cases) {
    const Bitmap picture(c.width, c.height);
    EXPECT_EQ(picture.Empty(), c.empty) << c.width << "x" << c.height;
  }
  Bitmap cleared(3, 3);
  cleared.Image().Clear();
  EXPECT_TRUE(cleared.Empty());
  EXPECT_EQ(cleared.Width(), 0);
}

// Saving writes the image byte for byte; a picture without pixels writes
// nothing and leaves an existing file alone.
TEST(Bitmap, SavesItsImageByteForByteAndNothingWithoutPixels) {
  const fs::path folder = fs::temp_directory_path() / ("asg-bitmap-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(folder);
  const fs::path file = folder / L"\u0441\u043F\u0440\u0430\u0439\u0442.bmp";  // a Cyrillic name
  const std::string name = NarrowName(file.wstring());
  Bitmap picture(1, 1);
  Paint(picture, 7, 3, [](int x, int y) { return RGB(x * 30, y * 80, 200); });
  EXPECT_FALSE(picture.SaveToFile(name).failed());
  const std::vector<uint8_t> want(picture.Image().bytes().begin(), picture.Image().bytes().end());
  EXPECT_EQ(Contents(file), want);

  for (auto [w, h] : {std::pair{0, 4}, std::pair{5, 0}}) {
    const Bitmap empty(w, h);
    EXPECT_EQ(empty.SaveToFile(name).kind, asg::Outcome::Kind::Skipped) << w << "x" << h;
    EXPECT_EQ(Contents(file), want) << w << "x" << h << ": the file was touched";
  }
  fs::remove_all(folder);
}

// Draws onto a white memory surface whose clip box is `clip`, and reads the pixels back.
class Surface {
 public:
  Surface(int w, int h) : w_(w), h_(h) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, w, h};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y) & 0xFFFFFF; }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

TEST(Bitmap, DrawsUnscaledAtAPointAndOnlyInsideTheClipBox) {
  auto colour = [](int x, int y) { return RGB(x * 8, y * 8, 128); };
  Bitmap picture(1, 1);
  Paint(picture, 20, 10, colour);
  Surface surface(40, 30);
  HRGN clip = CreateRectRgn(0, 0, 15, 30);  // the exposed part: x < 15
  SelectClipRgn(surface.Dc(), clip);
  DeleteObject(clip);
  picture.Draw(surface.Dc(), 3, 5);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 3 && x < 23 && y >= 5 && y < 15 && x < 15;
      const COLORREF want = inside ? colour(x - 3, y - 5) : RGB(255, 255, 255);
      ASSERT_EQ(surface.At(x, y), want) << "pixel (" << x << ", " << y << ")";
    }
  }
}

}  // namespace
}  // namespace platform
