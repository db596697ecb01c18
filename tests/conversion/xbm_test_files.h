#pragma once
// A tiny builder of XBM files and BMP images for the decoder's tests, so that
// every test file is spelled out in the test itself rather than kept as a blob.

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

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

inline Bytes Words(std::initializer_list<uint16_t> words) {
  Bytes b;
  for (uint16_t w : words) Add16(b, w);
  return b;
}

// Plain rows: the header, then the pixel words top row first.
inline Bytes PlainXbm(int32_t width, int32_t height, std::initializer_list<uint16_t> pixels,
                      uint16_t encoding = 0) {
  return XbmHeader(width, height, encoding) + Words(pixels);
}

// One skip-run row: Skip(bytes), Run(pixel words) or RawRun(PixelBytes, bytes).
struct SkipRunRow {
  Bytes bytes;
  SkipRunRow& Skip(uint16_t skipBytes) {
    Add16(bytes, skipBytes);
    return *this;
  }
  SkipRunRow& Run(std::initializer_list<uint16_t> pixels) {
    Add16(bytes, static_cast<uint16_t>(2 * pixels.size()));
    for (uint16_t p : pixels) Add16(bytes, p);
    return *this;
  }
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
  for (const SkipRunRow& row : rows) file = file + row.bytes;
  return file;
}

// The expected BMP: the 54-byte header spelled out field by field, then the given
// pixel bytes (rows bottom-up, each with its pad).
inline Bytes BmpImage(int32_t width, int32_t height, const Bytes& pixelBytes) {
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

// Empty when equal; otherwise the first difference as "have X, want Y".
inline std::string Difference(const Bytes& have, const Bytes& want) {
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
