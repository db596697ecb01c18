#include "platform/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
namespace {

// A bottom-up 24-bit BMP of width x height whose pixel (x, y) from the top-left is colour(x, y).
template <class ColorOf>
std::vector<uint8_t> Bmp(int width, int height, ColorOf colour) {
  std::vector<uint8_t> b = BlankBmp(width, height);
  const size_t row = (3 * static_cast<size_t>(width) + 3) / 4 * 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      uint8_t* p = b.data() + 54 + row * static_cast<size_t>(height - 1 - y) + 3 * static_cast<size_t>(x);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  return b;
}

TEST(Bitmap, ANewBitmapIsBlackAndCarriesTheBmpBytesOfItsSize) {
  Bitmap one(1, 1);
  EXPECT_EQ(one.Width(), 1);
  EXPECT_EQ(one.Height(), 1);
  const std::vector<uint8_t> want = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                                     0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x0B, 0, 0, 0x12, 0x0B, 0, 0,
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(one.Bytes(), want);
  EXPECT_EQ(BlankBmp(5, 2).size(), 86u) << "rows of 5 pixels are padded to 16 bytes";
}

TEST(Bitmap, KeepsTheExactBytesItWasLoadedFrom) {
  std::vector<uint8_t> bytes = Bmp(7, 3, [](int x, int y) { return RGB(x * 30, y * 80, 200); });
  bytes[6] = 0x5A;  // a reserved header byte: kept as it came
  Bitmap picture(1, 1);
  ASSERT_TRUE(picture.LoadFromBmp(bytes));
  EXPECT_EQ(picture.Width(), 7);
  EXPECT_EQ(picture.Height(), 3);
  EXPECT_EQ(picture.Bytes(), bytes);
}

TEST(Bitmap, ZeroSizedImagesLoadAsEmptyPictures) {
  for (auto [w, h] : {std::pair{0, 5}, std::pair{4, 0}, std::pair{0, 0}}) {
    Bitmap picture(2, 2);
    EXPECT_TRUE(picture.LoadFromBmp(BlankBmp(w, h))) << w << "x" << h;
    EXPECT_EQ(picture.Width(), w);
    EXPECT_EQ(picture.Height(), h);
    EXPECT_TRUE(picture.Empty());
  }
}

TEST(Bitmap, RejectsWhatIsNotAnUncompressed24BitBmpAndEmptiesItself) {
  const std::vector<uint8_t> good = BlankBmp(3, 2);
  struct Case {
    std::string name;
    size_t at;
    uint8_t value;
  };
  const Case cases[] = {
      {"magic", 0, 'X'}, {"offset", 10, 55}, {"info size", 14, 12}, {"planes", 26, 2},
      {"bit count", 28, 8}, {"compression", 30, 1}, {"negative height", 25, 0x80},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bad = good;
    bad[c.at] = c.value;
    Bitmap picture(4, 4);
    EXPECT_FALSE(picture.LoadFromBmp(bad)) << c.name;
    EXPECT_EQ(picture.Width(), 0) << c.name << ": have width " << picture.Width() << ", want 0";
    EXPECT_TRUE(picture.Bytes().empty()) << c.name;
  }
  std::vector<uint8_t> shortRows = good;
  shortRows.pop_back();
  Bitmap picture(4, 4);
  EXPECT_FALSE(picture.LoadFromBmp(shortRows)) << "one byte short of its rows";
  EXPECT_FALSE(picture.LoadFromBmp(std::vector<uint8_t>(good.begin(), good.begin() + 40))) << "a cut header";
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
  ASSERT_TRUE(picture.LoadFromBmp(Bmp(20, 10, colour)));
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
