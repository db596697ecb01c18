#pragma once
// A 24-bit picture held as the BMP image it is (see asg::BmpImage): saving
// writes its bytes unchanged, and drawing hands the rows to the system
// straight from them.

#include <string_view>

#include <windows.h>

#include "conversion/bmp_image.h"
#include "conversion/xbm_converter.h"

namespace platform {

class Bitmap {
 public:
  // A black picture of width x height pixels; a width or height below 0 counts as 0.
  Bitmap(int width, int height) : image_(asg::BmpImage::Black(width, height)) {}
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  bool Empty() const { return !image_.HasPixels(); }

  // The picture itself, to be refilled in place (a converter that reuses its
  // memory touches no fresh pages).
  const asg::BmpImage& Image() const { return image_; }
  asg::BmpImage& Image() { return image_; }

  // Writes the BMP image to `fileName` (UTF-8) as asg::WriteBmpFile does: a
  // picture without pixels writes no file.
  asg::Outcome SaveToFile(std::string_view fileName) const;

  // Draws the picture unscaled with its top-left corner at (x, y), copying
  // only the part inside the surface's clip box (what is exposed).
  void Draw(HDC dc, int x, int y) const;

 private:
  asg::BmpImage image_;
};

}  // namespace platform
