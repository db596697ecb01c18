// Decoding row by row (XbmRowDecoder) and the two pixel codes: whatever the
// order of the rows and whichever code runs, the image and the reason for a
// failure are those of DecodeXbm.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "conversion/xbm_decoder.h"
#include "tests/conversion/xbm_test_files.h"

namespace asg {
namespace {

using test::Add16;
using test::Add32;
using test::Bytes;
using test::BytesOf;
using test::operator+;
using test::XbmHeader;

// Restores the fastest pixel code when a test ends, even a failed one.
struct PixelCodeScope {
  explicit PixelCodeScope(PixelCode code) { UsePixelCode(code); }
  ~PixelCodeScope() { UsePixelCode(PixelCode::Fastest); }
};

// Skip-run rows of random gaps and runs (lengths 0 to `longest` pixels) and
// random pixel words; with `rows` empty entries of the table point at
// `rowData`.
Bytes RandomSkipRunXbm(std::mt19937& random, int32_t width, int32_t height, uint32_t longest) {
  std::vector<Bytes> rows(static_cast<size_t>(height));
  for (Bytes& row : rows) {
    int32_t x = 0;
    for (;;) {
      const int32_t gap = std::min<int32_t>(static_cast<int32_t>(random() % (longest + 1)), width - x);
      Add16(row,
            static_cast<uint32_t>(2 * gap + random() % 2));  // an odd count drops its remainder
      x += gap;
      if (x == width) break;
      const int32_t run =
          std::max<int32_t>(1, std::min<int32_t>(static_cast<int32_t>(random() % (longest + 1)), width - x));
      Add16(row, static_cast<uint32_t>(2 * run));
      for (int32_t i = 0; i < run; ++i) Add16(row, static_cast<uint16_t>(random()));
      x += run;
      if (x == width) break;
    }
  }
  Bytes file = XbmHeader(width, height, 1);
  uint32_t offset = 4 * static_cast<uint32_t>(height);
  for (const Bytes& row : rows) {
    Add32(file, offset);
    offset += static_cast<uint32_t>(row.size());
  }
  for (const Bytes& row : rows) file = file + row;
  return file;
}

Bytes RandomPlainXbm(std::mt19937& random, int32_t width, int32_t height) {
  Bytes file = XbmHeader(width, height, 0);
  for (int64_t i = 0; i < int64_t{width} * height; ++i) Add16(file, static_cast<uint16_t>(random()));
  return file;
}

// Pictures of many widths (every pad, every tail of a 16-pixel block, the
// widest rows) in both encodings, with short and long gaps and runs.
std::vector<Bytes> SamplePictures() {
  std::mt19937 random(2024);
  std::vector<Bytes> files;
  for (int32_t width : {1, 2, 3, 4, 5, 7, 15, 16, 17, 31, 33, 47, 64, 100, 2047, 2048}) {
    files.push_back(RandomPlainXbm(random, width, 5));
    files.push_back(RandomSkipRunXbm(random, width, 5, 3));
    files.push_back(RandomSkipRunXbm(random, width, 5, 20));
    files.push_back(RandomSkipRunXbm(random, width, 5, 300));
  }
  return files;
}

TEST(PixelCode, EveryWordBecomesItsFieldsShiftedInBothCodes) {
  // All 65536 words in 32 rows of 2048, top row first.
  Bytes file = XbmHeader(2048, 32, 0);
  for (uint32_t v = 0; v < 65536; ++v) Add16(file, v);
  for (PixelCode code : {PixelCode::Fastest, PixelCode::Portable}) {
    SCOPED_TRACE(code == PixelCode::Fastest ? "fastest" : "portable");
    PixelCodeScope scope(code);
    BmpImage image;
    ASSERT_TRUE(DecodeXbm(file, image).ok());
    const Bytes bmp = BytesOf(image);
    ASSERT_EQ(bmp.size(), 54u + 6144u * 32u);
    for (uint32_t v = 0; v < 65536; ++v) {
      const size_t at = 54 + 6144 * (31 - v / 2048) + 3 * (v % 2048);
      // Blue from bits 0-4, green from bits 5-10, red from bits 11-15, shifted up with zero low bits.
      const Bytes want = {static_cast<uint8_t>((v & 0x1F) << 3), static_cast<uint8_t>(((v >> 5) & 0x3F) << 2),
                          static_cast<uint8_t>((v >> 11) << 3)};
      const Bytes have(bmp.begin() + static_cast<ptrdiff_t>(at), bmp.begin() + static_cast<ptrdiff_t>(at + 3));
      ASSERT_EQ(have, want) << "word " << v << ": have " << int(have[0]) << "," << int(have[1]) << "," << int(have[2])
                            << ", want " << int(want[0]) << "," << int(want[1]) << "," << int(want[2]);
    }
  }
}

// The sample pictures followed by 3000 copies of them with one to four bytes changed at random.
std::vector<Bytes> SamplesAndDamagedCopies(std::mt19937& random) {
  std::vector<Bytes> files = SamplePictures();
  const size_t good = files.size();
  for (size_t i = 0; i < 3000; ++i) {
    Bytes file = files[random() % good];
    for (int flips = 1 + random() % 4; flips > 0; --flips)
      file[random() % file.size()] = static_cast<uint8_t>(random());
    files.push_back(std::move(file));
  }
  return files;
}

TEST(PixelCode, PortableAndFastestAgreeOnGoodAndDamagedFiles) {
  std::mt19937 random(77);
  const std::vector<Bytes> files = SamplesAndDamagedCopies(random);
  for (size_t i = 0; i < files.size(); ++i) {
    BmpImage fastest, portable;
    const XbmResult a = DecodeXbm(files[i], fastest);
    XbmResult b;
    {
      PixelCodeScope scope(PixelCode::Portable);
      b = DecodeXbm(files[i], portable);
    }
    ASSERT_EQ(a.reason, b.reason) << "file " << i << ": fastest and portable code disagree";
    ASSERT_TRUE(BytesOf(fastest) == BytesOf(portable)) << "file " << i << ": have different images from the two codes";
  }
}

// Bytes after the last one read change nothing. Runs far from the end of the
// file take a quicker way through the rows than those near it, so a small file
// decoded alone and with a long tail goes each way through the same rows.
TEST(DecodeXbm, BytesAfterTheDataChangeNothing) {
  std::mt19937 random(31);
  const std::vector<Bytes> files = SamplesAndDamagedCopies(random);
  size_t compared = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    BmpImage alone, tailed;
    const XbmResult a = DecodeXbm(files[i], alone);
    // A file cut short would read the tail instead of failing.
    if (a.error == XbmError::Truncated) continue;
    Bytes withTail = files[i];
    for (int k = 0; k < 5000; ++k) withTail.push_back(static_cast<uint8_t>(random()));
    const XbmResult b = DecodeXbm(withTail, tailed);
    ASSERT_EQ(b.reason, a.reason) << "file " << i << ": have a different reason with a tail";
    ASSERT_TRUE(BytesOf(tailed) == BytesOf(alone)) << "file " << i << ": have a different image with a tail";
    ++compared;
  }
  EXPECT_GT(compared, 1000u);
}

TEST(XbmRowDecoder, RowsInAnyOrderAndChunkMakeTheImageOfDecodeXbm) {
  std::mt19937 random(5);
  const std::vector<Bytes> files = SamplePictures();
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE("picture " + std::to_string(i));
    BmpImage whole;
    ASSERT_TRUE(DecodeXbm(files[i], whole).ok());
    const Bytes want = BytesOf(whole);
    for (uint32_t chunkRows : {1u, 2u, 5u}) {
      XbmRowDecoder decoder(files[i]);
      ASSERT_TRUE(decoder.result().ok()) << decoder.result().reason;
      ASSERT_EQ(decoder.imageBytes(), want.size());
      Bytes have(want.size(), 0xCD);
      std::copy_n(want.begin(), 54, have.begin());
      std::vector<uint32_t> firsts;
      for (uint32_t row = 0; row < decoder.height(); row += chunkRows) firsts.push_back(row);
      std::shuffle(firsts.begin(), firsts.end(), random);
      for (uint32_t first : firsts) {
        const uint32_t count = std::min(chunkRows, decoder.height() - first);
        ASSERT_TRUE(decoder.DecodeRows(first, count, have.data() + 54 + size_t{first} * decoder.rowBytes()));
      }
      EXPECT_TRUE(have == want) << "chunks of " << chunkRows << " rows: have a different image";
    }
  }
}

TEST(XbmRowDecoder, ReasonNamesTheFirstDamagedRowOfTheFileWhateverTheOrder) {
  // Rows 1 and 3 of 4 are damaged in different ways; row 1 comes first in the
  // file.
  std::mt19937 random(9);
  Bytes file = RandomSkipRunXbm(random, 8, 4, 4);
  const auto rowStart = [&file](uint32_t row) {
    return 64 + (file[64 + 4 * row] | file[65 + 4 * row] << 8 | file[66 + 4 * row] << 16);
  };
  file[rowStart(1)] = 18;  // a first gap of 9 pixels passes Width 8
  file[rowStart(1) + 1] = 0;
  file[rowStart(3)] = 0xFF;  // a first gap of over 2048 pixels
  file[rowStart(3) + 1] = 0xFF;
  BmpImage bmp;
  const XbmResult whole = DecodeXbm(file, bmp);
  ASSERT_EQ(whole.error, XbmError::RowOverflow) << whole.reason;
  ASSERT_NE(whole.reason.find("in row 1 "), std::string::npos) << "reason: " << whole.reason;

  const struct {
    const char* name;
    uint32_t first, count;  // BMP rows: 0 is the file's row 3
  } cases[] = {{"bottom row alone", 0, 1}, {"all rows", 0, 4}, {"row 1 alone", 2, 1}, {"top two rows", 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    XbmRowDecoder decoder(file);
    Bytes rows(size_t{decoder.rowBytes()} * c.count);
    EXPECT_FALSE(decoder.DecodeRows(c.first, c.count, rows.data()));
    EXPECT_EQ(decoder.result().reason, whole.reason);
    EXPECT_EQ(decoder.result().error, whole.error);
  }
  XbmRowDecoder checked(file);
  EXPECT_FALSE(checked.CheckAllRows());
  EXPECT_EQ(checked.result().reason, whole.reason);
  XbmRowDecoder top(file);
  Bytes row(top.rowBytes());
  EXPECT_TRUE(top.DecodeRows(3, 1, row.data())) << "the top row is sound: " << top.result().reason;
}

TEST(XbmRowDecoder, HeaderFailureIsKeptAndNoRowIsDecoded) {
  XbmRowDecoder decoder(XbmHeader(2049, 1, 0) + Bytes(8000, 0));
  EXPECT_EQ(decoder.result().error, XbmError::BadWidth);
  uint8_t untouched = 0xCD;
  EXPECT_FALSE(decoder.DecodeRows(0, 1, &untouched));
  EXPECT_FALSE(decoder.CheckAllRows());
  EXPECT_EQ(untouched, 0xCD);
  EXPECT_EQ(decoder.result().error, XbmError::BadWidth);
}

}  // namespace
}  // namespace asg
