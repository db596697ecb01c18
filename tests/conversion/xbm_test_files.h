#pragma once
// The one builder of XBM files (and of the BMP images expected from them) for
// the tests and the benchmarks, so that every file is spelled out where it is
// used rather than kept as a blob.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/bmp_image.h"
#include "conversion/xbm_decoder.h"

namespace asg::test {

using Bytes = std::vector<uint8_t>;

inline void Set16(Bytes& b, size_t offset, uint32_t v) {
  b.at(offset) = static_cast<uint8_t>(v);
  b.at(offset + 1) = static_cast<uint8_t>(v >> 8);
}
inline void Set32(Bytes& b, size_t offset, uint32_t v) {
  Set16(b, offset, v);
  Set16(b, offset + 2, v >> 16);
}
inline void Add16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Add32(Bytes& b, uint32_t v) {
  Add16(b, v);
  Add16(b, v >> 16);
}
inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The 64-byte header; with a non-zero extraFlag, extraSize filler bytes follow it.
inline Bytes XbmHeader(int32_t width, int32_t height, uint16_t encoding, uint32_t extraFlag = 0,
                       uint32_t extraSize = 0) {
  Bytes b(64, 0);
  for (size_t i = 0; i < 20; ++i) b[i] = static_cast<uint8_t>(0xA0 + i);  // bytes never read
  Set32(b, 20, static_cast<uint32_t>(width));
  Set32(b, 24, static_cast<uint32_t>(height));
  Set16(b, 30, encoding);
  Set32(b, 36, extraFlag);
  if (extraFlag != 0) {
    Set32(b, 40, extraSize);
    b.insert(b.end(), extraSize, 0xEE);
  }
  return b;
}

inline Bytes Words(std::span<const uint16_t> words) {
  Bytes b;
  for (uint16_t w : words) Add16(b, w);
  return b;
}
inline Bytes Words(std::initializer_list<uint16_t> words) { return Words(std::span(words.begin(), words.size())); }

// Plain rows: the header, then the pixel words top row first; there may be
// fewer or more words than the header asks for.
inline Bytes PlainXbm(int32_t width, int32_t height, std::span<const uint16_t> pixels, uint16_t encoding = 0) {
  return XbmHeader(width, height, encoding) + Words(pixels);
}
inline Bytes PlainXbm(int32_t width, int32_t height, std::initializer_list<uint16_t> pixels,
                      uint16_t encoding = 0) {
  return PlainXbm(width, height, std::span(pixels.begin(), pixels.size()), encoding);
}

// A pixel word that changes all three colour fields from one pixel to the next.
constexpr uint16_t PatternPixel(uint32_t x, uint32_t y) { return static_cast<uint16_t>(x * 2654435761u ^ y * 40503u); }

// A whole picture of plain rows of PatternPixel.
inline Bytes PatternXbm(int32_t width, int32_t height) {
  Bytes b = XbmHeader(width, height, 0);
  b.reserve(b.size() + 2 * static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) Add16(b, PatternPixel(x, y));
  return b;
}

// One skip-run row: Skip(bytes), Run(pixel words) or RawRun(PixelBytes, bytes).
struct SkipRunRow {
  Bytes bytes;
  SkipRunRow& Skip(uint16_t skipBytes) {
    Add16(bytes, skipBytes);
    return *this;
  }
  SkipRunRow& Run(std::span<const uint16_t> pixels) {
    Add16(bytes, static_cast<uint16_t>(2 * pixels.size()));
    for (uint16_t p : pixels) Add16(bytes, p);
    return *this;
  }
  SkipRunRow& Run(std::initializer_list<uint16_t> pixels) { return Run(std::span(pixels.begin(), pixels.size())); }
  SkipRunRow& RawRun(uint16_t pixelBytes, const Bytes& data) {
    Add16(bytes, pixelBytes);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
};

// Skip-run rows: the header, the row table, then the rows in order.
inline Bytes SkipRunXbm(int32_t width, const std::vector<SkipRunRow>& rows, uint32_t extraFlag = 0,
                        uint32_t extraSize = 0) {
  Bytes file = XbmHeader(width, static_cast<int32_t>(rows.size()), 1, extraFlag, extraSize);
  uint32_t offset = static_cast<uint32_t>(4 * rows.size());
  for (const SkipRunRow& row : rows) {
    Add32(file, offset);
    offset += static_cast<uint32_t>(row.bytes.size());
  }
  for (const SkipRunRow& row : rows) file.insert(file.end(), row.bytes.begin(), row.bytes.end());
  return file;
}

// A whole picture of skip-run rows of PatternPixel: gaps and runs of 1 to
// `longest` pixels, alternating, their lengths drawn from a fixed seed.
inline Bytes PatternSkipRunXbm(int32_t width, int32_t height, uint32_t longest) {
  uint32_t seed = 12345;
  auto next = [&seed, longest](int32_t left) {
    seed = seed * 1664525u + 1013904223u;
    return std::min(static_cast<int32_t>(1 + (seed >> 16) % longest), left);
  };
  std::vector<SkipRunRow> rows(static_cast<size_t>(height));
  std::vector<uint16_t> run;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width;) {
      const int32_t gap = next(width - x);
      rows[y].Skip(static_cast<uint16_t>(2 * gap));
      x += gap;
      if (x == width) break;
      run.clear();
      for (int32_t end = x + next(width - x); x < end; ++x) run.push_back(PatternPixel(x, y));
      rows[y].Run(run);
    }
  }
  return SkipRunXbm(width, rows);
}

// The expected BMP: the 54-byte header spelled out field by field, then the given
// pixel bytes (rows bottom-up, each with its pad).
inline Bytes ExpectedBmp(int32_t width, int32_t height, const Bytes& pixelBytes) {
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  Add32(b, static_cast<uint32_t>(54 + pixelBytes.size()));  // bfSize
  Add16(b, 0);                                             // bfReserved1
  Add16(b, 0);                                             // bfReserved2
  Add32(b, 54);                                            // bfOffBits
  Add32(b, 40);                                            // biSize
  Add32(b, static_cast<uint32_t>(width));
  Add32(b, static_cast<uint32_t>(height));
  Add16(b, 1);     // biPlanes
  Add16(b, 24);    // biBitCount
  Add32(b, 0);     // biCompression
  Add32(b, 0);     // biSizeImage
  Add32(b, 2834);  // biXPelsPerMeter
  Add32(b, 2834);  // biYPelsPerMeter
  Add32(b, 0);     // biClrUsed
  Add32(b, 0);     // biClrImportant
  return b + pixelBytes;
}

// Writes a whole file; false when it cannot.
inline bool PutFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// A whole file; empty when it cannot be read.
inline Bytes GetFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of a picture's BMP file.
inline Bytes BytesOf(const asg::BmpImage& image) { return Bytes(image.bytes().begin(), image.bytes().end()); }

// What the decoder makes of an XBM file: the BMP file's bytes, empty when it fails.
inline Bytes DecodedBmp(std::span<const uint8_t> xbm) {
  BmpImage image;
  DecodeXbm(xbm, image);
  return BytesOf(image);
}
inline Bytes DecodedBmp(const std::filesystem::path& xbm) { return DecodedBmp(GetFile(xbm)); }

// Empty when equal; otherwise the first difference as "have X, want Y".
inline std::string Difference(std::span<const uint8_t> have, const Bytes& want) {
  std::ostringstream out;
  for (size_t i = 0; i < have.size() && i < want.size(); ++i) {
    if (have[i] != want[i]) {
      out << "byte " << i << ": have " << int{have[i]} << ", want " << int{want[i]};
      return out.str();
    }
  }
  if (have.size() != want.size()) out << "size: have " << have.size() << ", want " << want.size();
  return out.str();
}

}  // namespace asg::test
