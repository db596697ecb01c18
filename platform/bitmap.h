#pragma once
// A 24-bit picture held as the exact BMP file bytes it was made from: saving
// writes them unchanged, and drawing hands the rows to the system straight
// from them. Loading takes the bytes over without copying a pixel.

#include <cstdint>
#include <span>
#include <vector>

#include <windows.h>

namespace platform {

class Bitmap {
 public:
  // A black picture of width x height pixels (0 x 0 when either is not positive).
  Bitmap(int width, int height);
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Replaces the content with a bottom-up, uncompressed 24-bit BMP file image
  // (54-byte header, no colour table). Anything else empties the picture and
  // returns false.
  bool LoadFromBmp(std::vector<uint8_t> bytes);
  // Empties the picture: 0 x 0, no pixels, no bytes.
  void Clear();

  // The BMP file image of the picture, byte for byte as loaded; empty when the picture is.
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  // Empties the picture and hands over its bytes, so that their memory can be
  // filled again (a converter that reuses it touches no fresh pages).
  std::vector<uint8_t> TakeBytes();

  // Draws the picture unscaled with its top-left corner at (x, y), copying
  // only the part inside the surface's clip box (what is exposed).
  void Draw(HDC dc, int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> bytes_;
};

// A black width x height BMP file image, as a freshly created Bitmap holds.
std::vector<uint8_t> BlankBmp(int width, int height);

}  // namespace platform
