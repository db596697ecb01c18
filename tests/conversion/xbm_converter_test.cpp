// The one road from a file to a picture: decoding into memory, converting
// straight into an output file, writing a picture held in memory, and the
// outcome of each.

#include "conversion/xbm_converter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "conversion/xbm_decoder.h"
#include "tests/conversion/xbm_test_files.h"

namespace asg {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::BytesOf;
using test::Difference;
using test::ExpectedBmp;
using test::GetFile;
using test::PlainXbm;
using test::PutFile;
using test::SkipRunRow;
using test::SkipRunXbm;
using Kind = Outcome::Kind;
using Subject = Outcome::Subject;

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Converted: return "converted";
    case Kind::Skipped: return "skipped";
    case Kind::Failed: return "failed";
  }
  return "?";
}

const Bytes kGood = PlainXbm(2, 1, {0xF800, 0x001F});
const Bytes kGoodBmp = ExpectedBmp(2, 1, {0, 0, 248, 248, 0, 0, 0, 0});
const Bytes kOld = {'o', 'l', 'd'};

class XbmConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("asg_converter_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_ / "in");
    fs::create_directories(dir_ / "out");
    PutFile(In("good.xbm"), kGood);
    PutFile(In("truncated.xbm"), PlainXbm(2, 2, {0xF800, 0x001F, 0x07E0}));
    PutFile(In("width0.xbm"), PlainXbm(0, 5, {}));
    PutFile(In("height0.xbm"), PlainXbm(3, 0, {}));
    // Skip-run rows of Width 0 whose second row has a gap: no pixels, but not sound.
    PutFile(In("width0_bad.xbm"), SkipRunXbm(0, {SkipRunRow{}.Skip(0), SkipRunRow{}.Skip(2)}));
    PutFile(In("gap_past_row.xbm"), SkipRunXbm(4, {SkipRunRow{}.Skip(10)}));
    fs::create_directories(In("folder.xbm"));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  fs::path In(const std::string& name) const { return dir_ / "in" / name; }
  fs::path Out(const std::string& name) const { return dir_ / "out" / name; }
  std::set<std::string> OutputNames() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_ / "out")) names.insert(entry.path().filename().string());
    return names;
  }

  fs::path dir_;
};

struct Want {
  Kind kind;
  Subject subject;
  const char* reason;  // a part the reason must contain; "": no reason at all
};

void ExpectOutcome(const Outcome& have, const Want& want) {
  EXPECT_STREQ(KindName(have.kind), KindName(want.kind)) << "reason: " << have.reason;
  if (*want.reason == 0) {
    EXPECT_EQ(have.reason, "");
    return;
  }
  EXPECT_EQ(have.subject, want.subject) << "reason: " << have.reason;
  EXPECT_NE(have.reason.find(want.reason), std::string::npos)
      << "reason: have \"" << have.reason << "\", want a part \"" << want.reason << "\"";
}

TEST_F(XbmConverterTest, DecodeGivesThePictureOrAnEmptyOneWithTheReason) {
  const struct {
    const char* input;
    Want want;
    Bytes wantImage;  // empty: no bytes at all
  } cases[] = {
      {"good.xbm", {Kind::Converted, Subject::Input, ""}, kGoodBmp},
      {"width0.xbm", {Kind::Converted, Subject::Input, ""}, ExpectedBmp(0, 5, {})},
      {"height0.xbm", {Kind::Converted, Subject::Input, ""}, ExpectedBmp(3, 0, {})},
      {"truncated.xbm", {Kind::Failed, Subject::Input, "ends in the row data at offset 68"}, {}},
      {"width0_bad.xbm", {Kind::Failed, Subject::Input, "gap passes width 0 in row 1"}, {}},
      {"missing.xbm", {Kind::Failed, Subject::Input, "cannot be opened: No such file or directory"}, {}},
      {"folder.xbm", {Kind::Failed, Subject::Input, "is a folder"}, {}},
  };
  XbmConverter converter;  // one for all, as the program keeps one
  BmpImage image = BmpImage::Black(4, 4);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    ExpectOutcome(converter.Decode(In(c.input), image), c.want);
    EXPECT_EQ(Difference(image.bytes(), c.wantImage), "");
  }
}

TEST_F(XbmConverterTest, ConvertWritesOnlyAWholePictureAndSaysWhyNot) {
  const struct {
    const char* input;
    const char* output;
    Want want;
  } cases[] = {
      {"good.xbm", "good.bmp", {Kind::Converted, Subject::Input, ""}},
      {"width0.xbm", "width0.bmp", {Kind::Skipped, Subject::Input, "no pixels (0x5), not written"}},
      {"height0.xbm", "height0.bmp", {Kind::Skipped, Subject::Input, "no pixels (3x0), not written"}},
      {"width0_bad.xbm", "width0_bad.bmp", {Kind::Failed, Subject::Input, "gap passes width 0 in row 1"}},
      {"truncated.xbm", "truncated.bmp", {Kind::Failed, Subject::Input, "ends in the row data at offset 68"}},
      {"missing.xbm", "missing.bmp", {Kind::Failed, Subject::Input, "cannot be opened"}},
      {"good.xbm", "nowhere/good.bmp", {Kind::Failed, Subject::Output, "cannot create a file in the output folder"}},
      {"good.xbm", "folder.bmp", {Kind::Failed, Subject::Output, "is a folder"}},
      // The input's fault comes first, whatever became of the output.
      {"gap_past_row.xbm", "nowhere/gap.bmp", {Kind::Failed, Subject::Input, "gap passes width 4 in row 0"}},
  };
  XbmConverter converter;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.input) + " -> " + c.output);
    fs::remove_all(dir_ / "out");
    fs::create_directories(Out("folder.bmp"));
    for (const char* name : {"width0.bmp", "height0.bmp", "width0_bad.bmp", "truncated.bmp", "missing.bmp"}) {
      PutFile(Out(name), kOld);
    }
    const std::set<std::string> before = OutputNames();
    ExpectOutcome(converter.Convert(In(c.input), Out(c.output)), c.want);
    if (c.want.kind == Kind::Converted) {
      EXPECT_EQ(Difference(GetFile(Out(c.output)), kGoodBmp), "");
      EXPECT_EQ(OutputNames().size(), before.size() + 1);
    } else {
      EXPECT_EQ(OutputNames(), before) << "an output or a temporary file was left";
      if (fs::is_regular_file(Out(c.output))) {
        EXPECT_EQ(GetFile(Out(c.output)), kOld) << "the old output changed";
      }
    }
  }
}

// Pictures larger than the write buffer go out in several pieces, bottom row
// first; a damaged row found after pieces were written still writes nothing.
TEST_F(XbmConverterTest, LargePictureIsExactAndALateDamagedRowWritesNothing) {
  constexpr int32_t kWidth = 2048, kHeight = 100;  // a 600 kB image: three pieces
  const Bytes plain = test::PatternXbm(kWidth, kHeight);
  PutFile(In("large.xbm"), plain);
  std::vector<SkipRunRow> rows(kHeight);
  std::vector<uint16_t> run(kWidth, 0x1234);
  for (int32_t row = 0; row < kHeight; ++row) rows[row].Skip(row == 0 ? 2 * 2049 : 0).Run(run);
  const Bytes late = SkipRunXbm(kWidth, rows);  // the top row, written last, has a gap of 2049 pixels
  PutFile(In("late.xbm"), late);
  PutFile(Out("late.bmp"), kOld);

  XbmConverter converter;
  ExpectOutcome(converter.Convert(In("large.xbm"), Out("large.bmp")), {Kind::Converted, Subject::Input, ""});
  EXPECT_EQ(Difference(GetFile(Out("large.bmp")), test::DecodedBmp(plain)), "");
  ExpectOutcome(converter.Convert(In("late.xbm"), Out("late.bmp")),
                {Kind::Failed, Subject::Input, "gap of 2049 pixels over 2048 in row 0"});
  EXPECT_EQ(GetFile(Out("late.bmp")), kOld);
  EXPECT_EQ(OutputNames(), (std::set<std::string>{"large.bmp", "late.bmp"}));
}

TEST_F(XbmConverterTest, WriteBmpFileWritesAPictureWithPixelsOnly) {
  BmpImage good;
  ASSERT_TRUE(DecodeXbm(kGood, good).ok());
  const struct {
    const char* name;
    const BmpImage& image;
    const char* output;
    Want want;
  } cases[] = {
      {"picture", good, "out.bmp", {Kind::Converted, Subject::Input, ""}},
      {"width 0", BmpImage::Black(0, 5), "out.bmp", {Kind::Skipped, Subject::Input, "no pixels (0x5), not written"}},
      {"height 0", BmpImage::Black(7, 0), "out.bmp", {Kind::Skipped, Subject::Input, "no pixels (7x0), not written"}},
      {"no bytes at all", BmpImage(), "out.bmp", {Kind::Skipped, Subject::Input, "no pixels (0x0), not written"}},
      {"missing folder", good, "nowhere/out.bmp", {Kind::Failed, Subject::Output, "cannot create a file"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PutFile(Out("out.bmp"), kOld);
    ExpectOutcome(WriteBmpFile(c.image, Out(c.output)), c.want);
    EXPECT_EQ(GetFile(Out("out.bmp")), c.want.kind == Kind::Converted ? kGoodBmp : kOld);
    EXPECT_EQ(OutputNames(), std::set<std::string>{"out.bmp"}) << "a temporary file was left";
  }
}

// Decoding into memory and converting into a file give the same bytes, and a
// converter reused after a failure or a skip is as good as a new one.
TEST_F(XbmConverterTest, BothRoadsGiveTheSameBytesFromFileToFile) {
  const Bytes skipRun = test::PatternSkipRunXbm(300, 40, 16);
  PutFile(In("skiprun.xbm"), skipRun);
  PutFile(In("pattern.xbm"), test::PatternXbm(33, 7));
  XbmConverter converter;
  BmpImage image;
  for (const char* name : {"skiprun.xbm", "truncated.xbm", "pattern.xbm", "width0.xbm", "good.xbm", "skiprun.xbm"}) {
    SCOPED_TRACE(name);
    BmpImage want;
    const bool good = DecodeXbm(GetFile(In(name)), want).ok();
    const Outcome decoded = converter.Decode(In(name), image);
    EXPECT_EQ(decoded.failed(), !good) << decoded.reason;
    EXPECT_EQ(Difference(image.bytes(), BytesOf(want)), "");
    fs::remove(Out("out.bmp"));
    const Outcome converted = converter.Convert(In(name), Out("out.bmp"));
    EXPECT_EQ(converted.failed(), !good) << converted.reason;
    if (converted.kind == Kind::Converted) {
      EXPECT_EQ(Difference(GetFile(Out("out.bmp")), BytesOf(want)), "");
    } else {
      EXPECT_FALSE(fs::exists(Out("out.bmp")));
    }
  }
}

}  // namespace
}  // namespace asg
