#include "conversion/xbm_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/conversion/xbm_test_files.h"

namespace asg {
namespace {

using test::Add16;
using test::Add32;
using test::Bytes;
using test::Difference;
using test::ExpectedBmp;
using test::PlainXbm;
using test::Set32;
using test::SkipRunRow;
using test::SkipRunXbm;
using test::Words;
using test::XbmHeader;
using test::operator+;

// Pixel words and the bytes (blue, green, red) they become.
constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kWhite = 0xFFFF;
constexpr uint16_t kLow = 0x0821, kMid = 0x8410, kA = 0x1234, kB = 0xABCD;
const Bytes kRedBgr = {0, 0, 248}, kGreenBgr = {0, 252, 0}, kBlueBgr = {248, 0, 0};
const Bytes kWhiteBgr = {248, 252, 248}, kLowBgr = {8, 4, 8}, kMidBgr = {128, 128, 128};
const Bytes kABgr = {160, 68, 16}, kBBgr = {104, 120, 168}, kBlack = {0, 0, 0};

Bytes Zeros(size_t n) { return Bytes(n, 0); }
Bytes Prefix(const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + static_cast<ptrdiff_t>(n)); }
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const char* ErrorName(XbmError e) {
  switch (e) {
    case XbmError::None: return "None";
    case XbmError::CannotOpen: return "CannotOpen";
    case XbmError::Truncated: return "Truncated";
    case XbmError::BadWidth: return "BadWidth";
    case XbmError::BadHeight: return "BadHeight";
    case XbmError::BadRun: return "BadRun";
    case XbmError::RowOverflow: return "RowOverflow";
    case XbmError::TooLarge: return "TooLarge";
    case XbmError::OutOfMemory: return "OutOfMemory";
  }
  return "?";
}

struct GoodCase {
  const char* name;
  Bytes file;
  Bytes want;  // the whole BMP image
};

std::vector<GoodCase> GoodCases() {
  // A 64-byte header whose bytes 40..63 are not zero, with ExtraFlag 0.
  Bytes noisy = XbmHeader(1, 1, 0);
  for (size_t i = 40; i < 64; ++i) noisy[i] = 0x77;
  noisy = noisy + Words({kGreen});

  // Two table entries pointing at the same row data, and a third pointing backwards.
  Bytes shared = XbmHeader(2, 3, 1);
  Add32(shared, 12 + 8);   // row 0 -> second block
  Add32(shared, 12);       // row 1 -> first block
  Add32(shared, 12 + 8);   // row 2 -> second block again
  shared = shared + SkipRunRow{}.Skip(0).Run({kRed, kGreen}).bytes;  // first block, 8 bytes
  shared = shared + SkipRunRow{}.Skip(2).Run({kBlue}).bytes;         // second block

  // 3000 pairs without pixels of both kinds after a run and after a gap, in a row of 3.
  SkipRunRow manyEmptyPairs;
  manyEmptyPairs.Skip(0).Run({kRed});
  for (int i = 0; i < 1500; ++i) manyEmptyPairs.Skip(i % 2).RawRun(static_cast<uint16_t>(i % 3 == 0), Bytes(i % 3 == 0, 0x77));
  manyEmptyPairs.Skip(2).RawRun(0, {});
  for (int i = 0; i < 1500; ++i) manyEmptyPairs.Skip(1).RawRun(0, {});
  manyEmptyPairs.Skip(0).Run({kBlue});

  Bytes max_row;
  for (int i = 0; i < 2048; ++i) Add16(max_row, kMid);
  Bytes max_row_bgr;
  for (int i = 0; i < 2048; ++i) max_row_bgr = max_row_bgr + kMidBgr;

  // ExtraSize 1000 without the extra block: plain rows of Width 0 read nothing there.
  Bytes farData = XbmHeader(0, 3, 0);
  Set32(farData, 36, 1);
  Set32(farData, 40, 1000);

  return {
      {"1x1_F800_is_58_bytes", PlainXbm(1, 1, {kRed}),
       {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
        1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x0B, 0, 0, 0x12, 0x0B, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 248, 0}},
      {"colours_width3_pad3", PlainXbm(3, 1, {kBlue, kGreen, kRed}),
       ExpectedBmp(3, 1, Cat({kBlueBgr, kGreenBgr, kRedBgr, Zeros(3)}))},
      {"colours_width4_pad0", PlainXbm(4, 1, {kWhite, 0x0000, kLow, kMid}),
       ExpectedBmp(4, 1, Cat({kWhiteBgr, kBlack, kLowBgr, kMidBgr}))},
      {"width5_height2_bfSize86", PlainXbm(5, 2, {kA, kA, kA, kA, kA, kB, kB, kB, kB, kB}),
       ExpectedBmp(5, 2,
                   Cat({kBBgr, kBBgr, kBBgr, kBBgr, kBBgr, Zeros(1),  //
                        kABgr, kABgr, kABgr, kABgr, kABgr, Zeros(1)}))},
      {"two_rows_reversed", PlainXbm(2, 2, {kRed, kGreen, kBlue, kWhite}),
       ExpectedBmp(2, 2, Cat({kBlueBgr, kWhiteBgr, Zeros(2), kRedBgr, kGreenBgr, Zeros(2)}))},
      {"width6_pad2", PlainXbm(6, 1, {kA, kB, kA, kB, kA, kB}),
       ExpectedBmp(6, 1, Cat({kABgr, kBBgr, kABgr, kBBgr, kABgr, kBBgr, Zeros(2)}))},
      {"width7_pad3", PlainXbm(7, 1, {kA, kB, kA, kB, kA, kB, kRed}),
       ExpectedBmp(7, 1, Cat({kABgr, kBBgr, kABgr, kBBgr, kABgr, kBBgr, kRedBgr, Zeros(3)}))},
      {"encoding0_plain", PlainXbm(1, 1, {kB}, 0), ExpectedBmp(1, 1, Cat({kBBgr, Zeros(1)}))},
      {"encoding2_plain", PlainXbm(1, 1, {kB}, 2), ExpectedBmp(1, 1, Cat({kBBgr, Zeros(1)}))},
      {"encoding65535_plain", PlainXbm(1, 1, {kB}, 65535), ExpectedBmp(1, 1, Cat({kBBgr, Zeros(1)}))},
      {"extraflag0_ignores_bytes_40_to_63", noisy, ExpectedBmp(1, 1, Cat({kGreenBgr, Zeros(1)}))},
      {"extraflag1_extrasize0", XbmHeader(1, 1, 0, 1, 0) + Words({kGreen}),
       ExpectedBmp(1, 1, Cat({kGreenBgr, Zeros(1)}))},
      {"extraflag1_extrasize100", XbmHeader(1, 1, 0, 1, 100) + Words({kGreen}),
       ExpectedBmp(1, 1, Cat({kGreenBgr, Zeros(1)}))},
      {"extraflag_high_bit_skiprun", SkipRunXbm(1, {SkipRunRow{}.Skip(0).Run({kRed})}, 0x80000000u, 3),
       ExpectedBmp(1, 1, Cat({kRedBgr, Zeros(1)}))},
      {"height0_plain", PlainXbm(5, 0, {}), ExpectedBmp(5, 0, {})},
      {"height0_skiprun", SkipRunXbm(5, {}), ExpectedBmp(5, 0, {})},
      {"width0_plain_reads_no_rows", XbmHeader(0, 3, 0), ExpectedBmp(0, 3, {})},
      {"width0_plain_data_start_past_end", farData, ExpectedBmp(0, 3, {})},
      {"width0_skiprun_zero_gaps", SkipRunXbm(0, {SkipRunRow{}.Skip(0), SkipRunRow{}.Skip(1)}), ExpectedBmp(0, 2, {})},
      {"skiprun_gap_then_run", SkipRunXbm(4, {SkipRunRow{}.Skip(4).Run({kRed, kGreen})}),
       ExpectedBmp(4, 1, Cat({kBlack, kBlack, kRedBgr, kGreenBgr}))},
      {"skiprun_whole_row_gap", SkipRunXbm(3, {SkipRunRow{}.Skip(6)}),
       ExpectedBmp(3, 1, Cat({kBlack, kBlack, kBlack, Zeros(3)}))},
      {"skiprun_no_gaps", SkipRunXbm(3, {SkipRunRow{}.Skip(0).Run({kA, kB, kWhite})}),
       ExpectedBmp(3, 1, Cat({kABgr, kBBgr, kWhiteBgr, Zeros(3)}))},
      {"skiprun_skipbytes1_is_no_gap", SkipRunXbm(2, {SkipRunRow{}.Skip(1).Run({kA, kB})}),
       ExpectedBmp(2, 1, Cat({kABgr, kBBgr, Zeros(2)}))},
      {"skiprun_skipbytes5_is_2_pixels", SkipRunXbm(3, {SkipRunRow{}.Skip(5).Run({kB})}),
       ExpectedBmp(3, 1, Cat({kBlack, kBlack, kBBgr, Zeros(3)}))},
      {"skiprun_pixelbytes7_is_3_pixels",
       SkipRunXbm(5, {SkipRunRow{}.Skip(0).RawRun(7, Words({kA, kB, kRed}) + Bytes{0x99}).Skip(2).Run({kWhite})}),
       ExpectedBmp(5, 1, Cat({kABgr, kBBgr, kRedBgr, kBlack, kWhiteBgr, Zeros(1)}))},
      {"skiprun_gap_then_pixelbytes1", SkipRunXbm(2, {SkipRunRow{}.Skip(2).RawRun(1, {0x55}).Skip(0).Run({kRed})}),
       ExpectedBmp(2, 1, Cat({kBlack, kRedBgr, Zeros(2)}))},
      {"skiprun_mixed_rows",
       SkipRunXbm(5, {SkipRunRow{}.Skip(0).Run({kRed}).Skip(4).Run({kGreen, kBlue}),
                      SkipRunRow{}.Skip(2).Run({kLow}).Skip(2).Run({kMid}).Skip(2)}),
       ExpectedBmp(5, 2,
                   Cat({kBlack, kLowBgr, kBlack, kMidBgr, kBlack, Zeros(1),  //
                        kRedBgr, kBlack, kBlack, kGreenBgr, kBlueBgr, Zeros(1)}))},
      {"skiprun_extrasize100", SkipRunXbm(1, {SkipRunRow{}.Skip(0).Run({kWhite})}, 1, 100),
       ExpectedBmp(1, 1, Cat({kWhiteBgr, Zeros(1)}))},
      {"skiprun_shared_and_backward_rows", shared,
       ExpectedBmp(2, 3, Cat({kBlack, kBlueBgr, Zeros(2), kRedBgr, kGreenBgr, Zeros(2), kBlack, kBlueBgr, Zeros(2)}))},
      {"skiprun_pairs_without_pixels_then_gap",
       SkipRunXbm(4, {SkipRunRow{}.Skip(0).RawRun(0, {}).Skip(1).RawRun(1, {0}).Skip(2).Run({kRed}).Skip(4)}),
       ExpectedBmp(4, 1, Cat({kBlack, kRedBgr, kBlack, kBlack}))},
      {"skiprun_more_pairs_without_pixels_than_width",
       SkipRunXbm(2, {SkipRunRow{}.Skip(0).RawRun(0, {}).Skip(1).RawRun(1, {0}).Skip(0).RawRun(0, {}).Skip(4)}),
       ExpectedBmp(2, 1, Cat({kBlack, kBlack, Zeros(2)}))},
      {"skiprun_pairs_without_pixels_between_runs", SkipRunXbm(3, {manyEmptyPairs}),
       ExpectedBmp(3, 1, Cat({kRedBgr, kBlack, kBlueBgr, Zeros(3)}))},
      {"skiprun_row_complete_ignores_following_bytes", SkipRunXbm(2, {SkipRunRow{}.Skip(4).Skip(0xFFFF)}),
       ExpectedBmp(2, 1, Cat({kBlack, kBlack, Zeros(2)}))},
      {"plain_trailing_bytes_not_needed", PlainXbm(1, 1, {kRed, 0x1111, 0x2222}),
       ExpectedBmp(1, 1, Cat({kRedBgr, Zeros(1)}))},
      {"width2048_plain", XbmHeader(2048, 1, 0) + max_row, ExpectedBmp(2048, 1, max_row_bgr)},
      {"skiprun_gap2048_run4096",
       SkipRunXbm(2048, {SkipRunRow{}.Skip(4096), SkipRunRow{}.Skip(1).RawRun(4096, max_row), SkipRunRow{}.Skip(4097)}),
       ExpectedBmp(2048, 3, Zeros(6144) + max_row_bgr + Zeros(6144))},
  };
}

TEST(DecodeXbm, GoodFilesGiveExactBytes) {
  for (const GoodCase& c : GoodCases()) {
    SCOPED_TRACE(c.name);
    BmpImage bmp;
    const XbmResult r = DecodeXbm(c.file, bmp);
    EXPECT_TRUE(r.ok()) << "error: have " << ErrorName(r.error) << " (" << r.reason << "), want None";
    EXPECT_EQ(r.reason, "");
    EXPECT_EQ(Difference(bmp.bytes(), c.want), "");
    EXPECT_EQ(bmp.width(), r.header.width);
    EXPECT_EQ(bmp.height(), r.header.height);
  }
}

// The picture's memory is not zero-filled first when it is reused, so gaps
// and pad bytes must be written: decoding into a picture whose rows are full
// of other bytes, of the same, a larger or a smaller size, gives the same image.
TEST(DecodeXbm, ReusedPictureHoldsOnlyTheNewImage) {
  for (const GoodCase& c : GoodCases()) {
    SCOPED_TRACE(c.name);
    BmpImage probe;
    const asg::XbmHeader header = DecodeXbm(c.file, probe).header;
    const struct {
      int32_t width, height;
    } before[] = {{header.width, header.height}, {header.width + 3, header.height + 1}, {1, header.height / 2}};
    for (const auto& b : before) {
      BmpImage bmp;
      const std::span<uint8_t> rows = bmp.Reshape(b.width, b.height);
      std::fill(rows.begin(), rows.end(), uint8_t{0xCD});
      ASSERT_TRUE(DecodeXbm(c.file, bmp).ok());
      EXPECT_EQ(Difference(bmp.bytes(), c.want), "") << "after a picture of " << b.width << "x" << b.height;
    }
  }
}

TEST(DecodeXbm, SecondFileCarriesOnlyItsOwnValues) {
  BmpImage bmp;
  ASSERT_TRUE(DecodeXbm(PlainXbm(5, 2, {kA, kA, kA, kA, kA, kB, kB, kB, kB, kB}), bmp).ok());
  ASSERT_TRUE(DecodeXbm(PlainXbm(1, 1, {kRed}), bmp).ok());
  EXPECT_EQ(Difference(bmp.bytes(), ExpectedBmp(1, 1, Cat({kRedBgr, Zeros(1)}))), "");
}

TEST(DecodeXbm, HeaderIsReported) {
  BmpImage bmp;
  const XbmResult r = DecodeXbm(XbmHeader(3, 2, 7, 1, 10) + Zeros(12), bmp);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.header.width, 3);
  EXPECT_EQ(r.header.height, 2);
  EXPECT_EQ(r.header.encoding, 7);
  EXPECT_EQ(r.header.dataStart, 74u);
}

struct BadCase {
  const char* name;  // named after the defect
  Bytes file;
  XbmError want;
  std::string wantReason;  // a part the reason must contain
};

std::vector<BadCase> BadCases() {
  Bytes tableShort = XbmHeader(1, 10, 1) + Zeros(32);  // 8 of 10 entries
  Bytes rowPastEnd = XbmHeader(1, 1, 1);
  Add32(rowPastEnd, 1000);
  Bytes rowOffsetMax = XbmHeader(1, 1, 1);  // DataStart far past the end
  Set32(rowOffsetMax, 36, 1);
  Set32(rowOffsetMax, 40, 0xFFFFFFFFu);
  Bytes tiny64 = XbmHeader(2048, 349525, 0);  // image just under the cap; the rows are missing
  return {
      {"empty_file", {}, XbmError::Truncated, "ends in the header at offset 30"},
      {"ends_at_31", Zeros(31), XbmError::Truncated, "ends in the header at offset 30"},
      {"ends_at_39", Prefix(XbmHeader(1, 1, 0), 39),
       XbmError::Truncated, "ends in the header at offset 36"},
      {"extraflag_ends_at_43", Prefix(XbmHeader(1, 1, 0, 1, 0), 43),
       XbmError::Truncated, "ends in the header at offset 40"},
      // Ends inside the 64-byte header, though no field read lies past offset 40.
      {"height0_ends_at_40", Prefix(XbmHeader(7, 0, 0), 40), XbmError::Truncated, "ends in the header at offset 40"},
      {"width0_ends_at_50", Prefix(XbmHeader(0, 5, 0), 50), XbmError::Truncated, "ends in the header at offset 50"},
      {"width0_skiprun_ends_at_63", Prefix(XbmHeader(0, 0, 1, 1, 0), 63), XbmError::Truncated,
       "ends in the header at offset 63"},
      {"width_2049", PlainXbm(2049, 1, {}), XbmError::BadWidth, "width 2049"},
      {"width_minus_1", PlainXbm(-1, 1, {}), XbmError::BadWidth, "width -1"},
      {"width_int_min", PlainXbm(INT32_MIN, 1, {}), XbmError::BadWidth, "width -2147483648"},
      {"height_minus_1", PlainXbm(1, -1, {}), XbmError::BadHeight, "height -1"},
      {"height_minus_1_skiprun", XbmHeader(1, -1, 1), XbmError::BadHeight, "height -1"},
      {"plain_last_byte_missing", Prefix(PlainXbm(2, 2, {1, 2, 3, 4}), 71),
       XbmError::Truncated, "ends in the row data at offset 68"},
      {"plain_no_rows", XbmHeader(2, 2, 0), XbmError::Truncated, "ends in the row data at offset 64"},
      {"plain_extra_block_missing", Prefix(XbmHeader(1, 1, 0, 1, 100), 80),
       XbmError::Truncated, "ends in the row data at offset 164"},
      {"row_table_short", tableShort, XbmError::Truncated, "ends in the row table at offset 96"},
      {"row_table_missing", XbmHeader(1, 1, 1), XbmError::Truncated, "ends in the row table at offset 64"},
      {"row_offset_past_end", rowPastEnd, XbmError::Truncated, "ends in the row data at offset 1064"},
      {"data_start_past_end_skiprun", rowOffsetMax, XbmError::Truncated, "ends in the row table at offset 4294967359"},
      {"pixelbytes_missing", SkipRunXbm(2, {SkipRunRow{}.Skip(2)}), XbmError::Truncated,
       "ends in the row data at offset 70"},
      {"pixels_missing", SkipRunXbm(2, {SkipRunRow{}.Skip(0).RawRun(4, {1, 2, 3})}), XbmError::Truncated,
       "ends in the row data at offset 72"},
      {"odd_run_byte_missing", SkipRunXbm(2, {SkipRunRow{}.Skip(0).RawRun(5, {1, 2, 3, 4})}), XbmError::Truncated,
       "ends in the row data at offset 72"},
      {"next_skip_missing", SkipRunXbm(3, {SkipRunRow{}.Skip(0).Run({kRed})}), XbmError::Truncated,
       "ends in the row data at offset 74"},
      {"run_4097_bytes", SkipRunXbm(2048, {SkipRunRow{}.Skip(0).RawRun(4097, Zeros(4097))}), XbmError::BadRun,
       "run of 4097 bytes"},
      {"run_65535_bytes", SkipRunXbm(2048, {SkipRunRow{}.Skip(0).RawRun(65535, {})}), XbmError::BadRun,
       "run of 65535 bytes"},
      {"gap_2049_pixels", SkipRunXbm(2048, {SkipRunRow{}.Skip(4098)}), XbmError::BadRun, "gap of 2049 pixels"},
      {"gap_0_run_0_then_end", SkipRunXbm(4, {SkipRunRow{}.Skip(0).RawRun(0, {})}), XbmError::Truncated,
       "ends in the row data at offset 72"},
      {"skip1_run1_then_end", SkipRunXbm(4, {SkipRunRow{}.Skip(1).RawRun(1, {0})}), XbmError::Truncated,
       "ends in the row data at offset 73"},
      {"empty_pairs_then_end", SkipRunXbm(2, {SkipRunRow{}.Skip(0).RawRun(0, {}).Skip(1).RawRun(1, {0}).Skip(0)}),
       XbmError::Truncated, "ends in the row data at offset 79"},
      {"empty_pair_odd_byte_missing", SkipRunXbm(2, {SkipRunRow{}.Skip(0).RawRun(0, {}).Skip(0).RawRun(1, {})}),
       XbmError::Truncated, "ends in the row data at offset 76"},
      {"gap_past_row", SkipRunXbm(4, {SkipRunRow{}.Skip(10)}), XbmError::RowOverflow, "gap passes width 4"},
      {"run_past_row", SkipRunXbm(4, {SkipRunRow{}.Skip(0).Run({1, 2, 3, 4, 5})}), XbmError::RowOverflow,
       "run passes width 4"},
      {"run_past_row_after_gap", SkipRunXbm(4, {SkipRunRow{}.Skip(4).Run({1, 2, 3})}), XbmError::RowOverflow,
       "run passes width 4"},
      {"gap_past_row_second_row",
       SkipRunXbm(2, {SkipRunRow{}.Skip(4), SkipRunRow{}.Skip(0).Run({kRed}).Skip(4)}), XbmError::RowOverflow,
       "gap passes width 2 in row 1"},
      {"width0_skiprun_gap", SkipRunXbm(0, {SkipRunRow{}.Skip(2)}), XbmError::RowOverflow, "gap passes width 0"},
      {"too_large_2048x349526", XbmHeader(2048, 349526, 0), XbmError::TooLarge, "image of 2147487798 bytes"},
      {"too_large_skiprun", XbmHeader(16, INT32_MAX, 1), XbmError::TooLarge, "over 2147483647"},
      {"just_under_cap_but_no_rows", tiny64, XbmError::Truncated, "ends in the row data at offset 64"},
  };
}

TEST(DecodeXbm, BadFilesFailCleanly) {
  for (const BadCase& c : BadCases()) {
    SCOPED_TRACE(c.name);
    BmpImage bmp = BmpImage::Black(5, 5);  // a failure leaves the picture empty
    const XbmResult r = DecodeXbm(c.file, bmp);
    EXPECT_EQ(ErrorName(r.error), std::string(ErrorName(c.want))) << "reason: " << r.reason;
    EXPECT_NE(r.reason.find(c.wantReason), std::string::npos)
        << "reason: have \"" << r.reason << "\", want it to contain \"" << c.wantReason << "\"";
    EXPECT_TRUE(bmp.bytes().empty()) << "have " << bmp.bytes().size() << " bytes, want 0";
    EXPECT_EQ(bmp.width(), 0);
    EXPECT_EQ(bmp.height(), 0);
  }
}

TEST(DecodeXbm, FailureKeepsTheHeaderThatWasRead) {
  BmpImage bmp;
  const XbmResult r = DecodeXbm(XbmHeader(4000, 3, 1, 1, 5), bmp);
  EXPECT_EQ(r.error, XbmError::BadWidth);
  EXPECT_EQ(r.header.width, 4000);
  EXPECT_EQ(r.header.height, 3);
  EXPECT_EQ(r.header.encoding, 1);
  EXPECT_EQ(r.header.dataStart, 69u);
}

// Every prefix of a good file either fails as Truncated, leaving no image, or
// (when it still holds every byte that is read) gives the same image.
TEST(DecodeXbm, EveryPrefixFailsCleanlyOrDecodesTheSame) {
  size_t prefixes = 0, goodPrefixes = 0;
  for (const GoodCase& c : GoodCases()) {
    if (c.file.size() > 3000) continue;
    SCOPED_TRACE(c.name);
    for (size_t n = 0; n < c.file.size(); ++n) {
      BmpImage bmp = BmpImage::Black(2, 2);
      const XbmResult r = DecodeXbm(std::span(c.file.data(), n), bmp);
      ++prefixes;
      if (r.ok()) {
        ++goodPrefixes;
        EXPECT_EQ(Difference(bmp.bytes(), c.want), "") << "prefix of " << n << " bytes";
        continue;
      }
      EXPECT_EQ(ErrorName(r.error), std::string("Truncated")) << "prefix of " << n << " bytes: " << r.reason;
      EXPECT_NE(r.reason.find("at offset"), std::string::npos) << r.reason;
      EXPECT_TRUE(bmp.bytes().empty()) << "prefix of " << n << " bytes";
    }
  }
  EXPECT_GT(prefixes, 500u);
  EXPECT_GT(goodPrefixes, 0u);  // e.g. the trailing bytes of plain_trailing_bytes_not_needed
}

// Rows may share their data: here 20,000 rows each enter one stretch of
// 200,000 pairs without pixels at a different pair, and all end in the red
// run after it. Walked pair by pair for every row, this would take billions
// of steps.
TEST(DecodeXbm, RowsSharingALongStretchOfPairsWithoutPixelsDecode) {
  constexpr uint32_t kPairs = 200000, kRows = 20000;
  SkipRunRow stretch;
  std::vector<uint32_t> pairStarts;
  for (uint32_t i = 0; i < kPairs; ++i) {
    pairStarts.push_back(static_cast<uint32_t>(stretch.bytes.size()));
    const bool oddByte = i % 7 == 3;
    stretch.Skip(i % 5 == 0).RawRun(oddByte, Bytes(oddByte, 0x5A));
  }
  stretch.Skip(0).Run({kRed});
  Bytes file = XbmHeader(1, kRows, 1);
  for (uint32_t row = 0; row < kRows; ++row) {
    Add32(file, 4 * kRows + pairStarts[(uint64_t{row} * 7919) % kPairs]);
  }
  file = file + stretch.bytes;
  Bytes want;
  for (uint32_t row = 0; row < kRows; ++row) {
    want.insert(want.end(), kRedBgr.begin(), kRedBgr.end());
    want.push_back(0);  // pad
  }
  BmpImage bmp;
  const XbmResult r = DecodeXbm(file, bmp);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(Difference(bmp.bytes(), ExpectedBmp(1, kRows, want)), "");

  // A last row whose stretch runs into the end of the file is found, wherever it is entered.
  Bytes cut(file.begin(), file.end() - 6);
  const XbmResult damaged = DecodeXbm(cut, bmp);
  EXPECT_EQ(ErrorName(damaged.error), std::string("Truncated")) << damaged.reason;
  EXPECT_EQ(damaged.reason, "ends in the row data at offset " + std::to_string(cut.size()));
}

TEST(DecodeXbm, WidthZeroWithHugeHeightReturnsTheHeaderAlone) {
  BmpImage bmp;
  const XbmResult r = DecodeXbm(XbmHeader(0, INT32_MAX, 0), bmp);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(Difference(bmp.bytes(), ExpectedBmp(0, INT32_MAX, {})), "");
}

TEST(DecodeXbm, RandomFilesNeverBreakTheContract) {
  std::mt19937 random(12345);
  const std::vector<GoodCase> good = GoodCases();
  for (int i = 0; i < 20000; ++i) {
    Bytes file = good[random() % good.size()].file;
    if (file.empty() || file.size() > 3000) continue;
    for (int flips = 1 + random() % 4; flips > 0; --flips) file[random() % file.size()] = static_cast<uint8_t>(random());
    BmpImage bmp;
    const XbmResult r = DecodeXbm(file, bmp);
    if (!r.ok()) {
      ASSERT_TRUE(bmp.bytes().empty());
      ASSERT_FALSE(r.reason.empty());
      continue;
    }
    const uint64_t want = 54 + uint64_t{BmpRowBytes(r.header.width)} * static_cast<uint64_t>(r.header.height);
    ASSERT_EQ(bmp.bytes().size(), want);
  }
}

TEST(SizeText, IsWindows1251SizeText) {
  const struct {
    int32_t width, height;
    std::string want;
  } cases[] = {
      {64, 48, "\xD0\xE0\xE7\xEC\xE5\xF0: 64x48"},
      {64, 0, "\xD0\xE0\xE7\xEC\xE5\xF0: 64x0"},
      {0, 0, "\xD0\xE0\xE7\xEC\xE5\xF0: 0x0"},
      {-5, -1, "\xD0\xE0\xE7\xEC\xE5\xF0: -5x-1"},
      {INT32_MIN, INT32_MAX, "\xD0\xE0\xE7\xEC\xE5\xF0: -2147483648x2147483647"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SizeText(c.width, c.height), c.want) << "for " << c.width << " x " << c.height;
  }
}

TEST(SplitRgb565, GivesTheFieldsUnscaled) {
  constexpr Rgb565Fields f = SplitRgb565(0xABCD);
  EXPECT_EQ(f.blue, 0x0D);
  EXPECT_EQ(f.green, 0x1E);
  EXPECT_EQ(f.red, 0x15);
}

}  // namespace
}  // namespace asg
