// Runs the real xbm2bmp program on small files made here and checks its exit
// status, its messages and the files it leaves behind.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "conversion/xbm_decoder.h"
#include "run_process.h"
#include "tests/conversion/xbm_test_files.h"

namespace asg {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::PlainXbm;

using test::Show;

std::string Utf8(std::u8string_view text) { return {text.begin(), text.end()}; }
fs::path PathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

const std::string kSprite = Utf8(u8"\u0441\u043F\u0440\u0430\u0439\u0442");  // "sprite" in Cyrillic
const std::string kOutput = Utf8(u8"\u0432\u044B\u0432\u043E\u0434");        // "output" in Cyrillic

const Bytes kGood = PlainXbm(2, 1, {0xF800, 0x001F});
// The BMP image of kGood: red then blue, 2 pad bytes.
const Bytes kGoodBmp = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                        40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                        0x12, 0x0B, 0, 0, 0x12, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // info header
                        0, 0, 248, 248, 0, 0, 0, 0};
const Bytes kOld = {'o', 'l', 'd', '\r', '\n', 0};

Bytes Get(const fs::path& path) { return test::GetFile(path); }
void Put(const fs::path& path, const Bytes& bytes) { test::PutFile(path, bytes); }

class Xbm2BmpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    root_ = fs::temp_directory_path() / ("asg_cli_" + std::to_string(seed()));
    for (const char* dir : {"in", "out", "scratch"}) fs::create_directories(root_ / dir);
    Put(In("good.xbm"), kGood);
    Put(In("-dash.xbm"), kGood);
    Put(In("bad.xbm"), PlainXbm(2, 2, {0xF800, 0x001F, 0x07E0}));  // ends inside row 2
    Put(In("wide0.xbm"), PlainXbm(0, 5, {}));
    // Skip-run rows of Width 0 whose table points past the end of the file.
    Bytes wide0Bad = PlainXbm(0, 3, {0x1000, 0, 0x1000, 0, 0x1000, 0});
    wide0Bad[30] = 1;
    Put(In("wide0_bad.xbm"), wide0Bad);
    Put(In("high0.xbm"), PlainXbm(3, 0, {}));
    // Width 0 in a file that ends inside its 64-byte header.
    Bytes shortHeader = PlainXbm(0, 5, {});
    shortHeader.resize(50);
    Put(In("short.xbm"), shortHeader);
    // Skip-run rows of Width 1 with more pairs without pixels than pixels:
    // SkipBytes 0 or 1 and PixelBytes 0 (or 1 and its byte), then a run.
    using test::SkipRunRow;
    Put(In("pairs.xbm"), test::SkipRunXbm(1, {SkipRunRow{}.Skip(1).RawRun(0, {}).Skip(0).RawRun(1, {0xFF}).Skip(1)
                                                  .RawRun(0, {}).Skip(0).Run({0xF800})}));
    Put(In(kSprite + ".xbm"), kGood);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path In(const std::string& name) { return root_ / "in" / PathFromUtf8(name); }
  fs::path Out(const std::string& name) { return root_ / "out" / PathFromUtf8(name); }

  // "IN/x" and "OUT/x" name files in the input and output folders; "OUT" is the output folder.
  fs::path Arg(const std::string& arg) {
    if (arg.rfind("IN/", 0) == 0) return In(arg.substr(3));
    if (arg.rfind("OUT/", 0) == 0) return Out(arg.substr(4));
    if (arg == "OUT") return root_ / "out";
    return PathFromUtf8(arg);
  }

  test::ProcessResult Run(const std::vector<std::string>& args) {
    std::vector<fs::path> paths;
    for (const std::string& arg : args) paths.push_back(Arg(arg));
    return test::RunProcess(test::Xbm2BmpProgram(), paths, root_ / "scratch");
  }

  std::set<std::string> OutputNames() { return test::NamesIn(root_ / "out"); }

  void ClearOutputs() {
    for (const auto& entry : fs::directory_iterator(root_ / "out")) fs::remove_all(entry.path());
  }

  fs::path root_;
};

TEST_F(Xbm2BmpTest, ExitStatusMessagesAndOutputs) {
  const std::string tryHelp = "Try 'xbm2bmp --help'.";
  const struct {
    const char* label;
    std::vector<std::string> args;
    int wantExit;
    std::vector<std::string> wantErr;  // parts of stderr; none means stderr stays empty
    std::string wantOut;               // part of stdout
    std::set<std::string> wantOutputs;
  } cases[] = {
      {"one file", {"IN/good.xbm", "OUT/good.bmp"}, 0, {}, "", {"good.bmp"}},
      {"Cyrillic names", {"IN/" + kSprite + ".xbm", "OUT/" + kOutput + ".bmp"}, 0, {}, "", {kOutput + ".bmp"}},
      {"damaged file", {"IN/bad.xbm", "OUT/bad.bmp"}, 1, {"xbm2bmp: ", "bad.xbm: ends "}, "", {}},
      {"missing file", {"IN/missing.xbm", "OUT/m.bmp"}, 1, {"xbm2bmp: ", "missing.xbm: "}, "", {}},
      {"width 0 is skipped", {"IN/wide0.xbm", "OUT/w.bmp"}, 0, {"wide0.xbm: no pixels (0x5), not written"}, "", {}},
      {"file ending in its header fails", {"IN/short.xbm", "OUT/s.bmp"}, 1,
       {"short.xbm: ends in the header at offset 50"}, "", {}},
      {"pairs without pixels are accepted", {"IN/pairs.xbm", "OUT/p.bmp"}, 0, {}, "", {"p.bmp"}},
      {"width 0 with damaged rows fails", {"IN/wide0_bad.xbm", "OUT/w.bmp"}, 1, {"wide0_bad.xbm: ends in the row data"},
       "", {}},
      {"written through to the disk", {"--fsync", "IN/good.xbm", "OUT/good.bmp"}, 0, {}, "", {"good.bmp"}},
      {"batch written through to the disk", {"-d", "OUT", "--fsync", "IN/good.xbm", "IN/bad.xbm"}, 1,
       {"1 converted, 1 failed, 0 skipped"}, "", {"good.bmp"}},
      {"options end at --", {"--", "IN/-dash.xbm", "OUT/dash.bmp"}, 0, {}, "", {"dash.bmp"}},
      {"batch goes on past failures",
       {"-d", "OUT", "IN/bad.xbm", "IN/good.xbm", "IN/high0.xbm", "IN/missing.xbm", "IN/" + kSprite + ".xbm"},
       1,
       {"bad.xbm: ends ", "high0.xbm: no pixels (3x0), not written", "missing.xbm: ",
        "xbm2bmp: 2 converted, 2 failed, 1 skipped"},
       "",
       {"good.bmp", kSprite + ".bmp"}},
      {"batch with a skipped file succeeds",
       {"-d", "OUT", "IN/wide0.xbm", "IN/good.xbm"},
       0,
       {"wide0.xbm: no pixels", "xbm2bmp: 1 converted, 0 failed, 1 skipped"},
       "",
       {"good.bmp"}},
      {"batch into a missing folder", {"-d", "IN/nowhere", "IN/good.xbm"}, 1, {"nowhere: no such output folder"}, "", {}},
      {"no arguments", {}, 2, {tryHelp}, "", {}},
      {"input without output", {"IN/good.xbm"}, 2, {tryHelp}, "", {}},
      {"three operands", {"IN/good.xbm", "OUT/a.bmp", "OUT/b.bmp"}, 2, {tryHelp}, "", {}},
      {"-d without folder", {"-d"}, 2, {"-d needs an output folder", tryHelp}, "", {}},
      {"-d without inputs", {"-d", "OUT"}, 2, {"no input files", tryHelp}, "", {}},
      {"-d twice", {"-d", "OUT", "-d", "OUT", "IN/good.xbm"}, 2, {tryHelp}, "", {}},
      {"unknown option", {"-x", "IN/good.xbm", "OUT/a.bmp"}, 2, {"unknown option -x", tryHelp}, "", {}},
      {"help", {"--help"}, 0, {}, "Usage: xbm2bmp [--fsync] INPUT.xbm OUTPUT.bmp", {}},
      {"version", {"--version"}, 0, {}, "xbm2bmp 1.0", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    ClearOutputs();
    const test::ProcessResult have = Run(c.args);
    EXPECT_EQ(have.exitCode, c.wantExit) << "exit status: have " << have.exitCode << ", want " << c.wantExit
                                         << "\nstderr: " << have.err;
    if (c.wantErr.empty()) {
      EXPECT_EQ(have.err, "") << "stderr: have text, want none";
    }
    for (const std::string& part : c.wantErr) {
      EXPECT_NE(have.err.find(part), std::string::npos) << "stderr: have \"" << have.err << "\", want a part \""
                                                        << part << "\"";
    }
    EXPECT_NE(have.out.find(c.wantOut), std::string::npos) << "stdout: have \"" << have.out << "\", want a part \""
                                                           << c.wantOut << "\"";
    EXPECT_EQ(OutputNames(), c.wantOutputs) << "outputs: have " << Show(OutputNames()) << ", want "
                                            << Show(c.wantOutputs);
  }
}

TEST_F(Xbm2BmpTest, OutputIsTheExactBmpImageAndReplacesALongerFile) {
  Put(Out("good.bmp"), Bytes(1000, 0xAA));
  ASSERT_EQ(Run({"IN/good.xbm", "OUT/good.bmp"}).exitCode, 0);
  const Bytes have = Get(Out("good.bmp"));
  EXPECT_EQ(have, kGoodBmp) << "have " << have.size() << " bytes, want the " << kGoodBmp.size() << "-byte image";
  EXPECT_EQ(OutputNames(), std::set<std::string>{"good.bmp"});
}

TEST_F(Xbm2BmpTest, BatchNamesByTextUpToFirstDotAndLaterInputWins) {
  Put(In("SPRITE.XBM"), kGood);
  Put(In("a.b.xbm"), kGood);
  Put(In("noext"), kGood);
  Put(In("x.1.xbm"), PlainXbm(1, 1, {0xFFFF}));
  Put(In("x.2.xbm"), PlainXbm(3, 1, {1, 2, 3}));
  const test::ProcessResult have = Run({"-d", "OUT", "IN/SPRITE.XBM", "IN/a.b.xbm", "IN/noext", "IN/x.1.xbm",
                                        "IN/x.2.xbm", "IN/" + kSprite + ".xbm"});
  ASSERT_EQ(have.exitCode, 0) << have.err;
  const std::set<std::string> want = {"SPRITE.bmp", "a.bmp", "noext.bmp", "x.bmp", kSprite + ".bmp"};
  EXPECT_EQ(OutputNames(), want) << "have " << Show(OutputNames()) << ", want " << Show(want);
  const Bytes x = Get(Out("x.bmp"));
  ASSERT_GE(x.size(), 22u);
  EXPECT_EQ(x[18], 3) << "x.bmp: have width " << int(x[18]) << ", want 3 from x.2.xbm, the later input";
}

TEST_F(Xbm2BmpTest, FailedOrSkippedInputLeavesExistingOutputUntouched) {
  Put(Out("bad.bmp"), kOld);
  Put(Out("wide0.bmp"), kOld);
  Put(Out("single.bmp"), kOld);
  const std::set<std::string> before = OutputNames();
  EXPECT_EQ(Run({"IN/bad.xbm", "OUT/single.bmp"}).exitCode, 1);
  EXPECT_EQ(Run({"-d", "OUT", "IN/bad.xbm", "IN/wide0.xbm"}).exitCode, 1);
  for (const char* name : {"bad.bmp", "wide0.bmp", "single.bmp"}) {
    EXPECT_EQ(Get(Out(name)), kOld) << name << ": have changed content, want the old content";
  }
  EXPECT_EQ(OutputNames(), before) << "have " << Show(OutputNames()) << ", want " << Show(before)
                                   << " (no temporary files)";
}

// Pictures larger than the program's write buffer go out in several pieces,
// bottom row first; a damaged row found late still writes nothing.
TEST_F(Xbm2BmpTest, LargePictureIsExactAndALateDamagedRowWritesNothing) {
  constexpr int32_t kWidth = 2048, kHeight = 300;  // a 1.2 MB file, a 1.8 MB image
  std::vector<uint16_t> words(size_t{kWidth} * kHeight);
  for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint16_t>(i * 40503u + i / kWidth);
  const Bytes plain = PlainXbm(kWidth, kHeight, words);
  const Bytes want = test::DecodedBmp(plain);
  ASSERT_FALSE(want.empty());
  Put(In("large.xbm"), plain);

  // Skip-run rows that each hold one run of the whole row; the top row starts
  // with a gap of 2049 pixels, so it is found bad after the rows below it.
  Bytes skipRun = PlainXbm(kWidth, kHeight, {});
  skipRun[30] = 1;
  const uint32_t rowBytes = 4 + 2 * kWidth;
  for (int32_t row = 0; row < kHeight; ++row) {
    const uint32_t offset = 4 * kHeight + rowBytes * static_cast<uint32_t>(row);
    for (int i = 0; i < 4; ++i) skipRun.push_back(static_cast<uint8_t>(offset >> (8 * i)));
  }
  for (int32_t row = 0; row < kHeight; ++row) {
    const uint16_t gap = row == 0 ? 2 * 2049 : 0;
    for (uint16_t w : {gap, static_cast<uint16_t>(2 * kWidth)}) {
      skipRun.push_back(static_cast<uint8_t>(w));
      skipRun.push_back(static_cast<uint8_t>(w >> 8));
    }
    skipRun.insert(skipRun.end(), 2 * kWidth, 0x5A);
  }
  BmpImage unused;
  const XbmResult damaged = DecodeXbm(skipRun, unused);
  ASSERT_EQ(damaged.error, XbmError::BadRun) << damaged.reason;
  Put(In("late.xbm"), skipRun);
  Put(Out("late.bmp"), kOld);

  const test::ProcessResult have = Run({"-d", "OUT", "IN/large.xbm", "IN/late.xbm"});
  EXPECT_EQ(have.exitCode, 1) << have.err;
  EXPECT_NE(have.err.find("late.xbm: " + damaged.reason), std::string::npos)
      << "stderr: have \"" << have.err << "\", want the decoder's reason \"" << damaged.reason << "\"";
  const Bytes large = Get(Out("large.bmp"));
  EXPECT_TRUE(large == want) << "large.bmp: have " << large.size() << " bytes unlike the decoder's " << want.size();
  EXPECT_EQ(Get(Out("late.bmp")), kOld) << "late.bmp: have changed content, want the old content";
  EXPECT_EQ(OutputNames(), (std::set<std::string>{"large.bmp", "late.bmp"})) << "have " << Show(OutputNames());
}

#ifdef _WIN32
// The command shell hands "*.xbm" on as typed; xbm2bmp expands it itself, and
// a name that matches nothing stays the name in the message.
TEST_F(Xbm2BmpTest, WildcardsTypedAtTheCommandPromptAreExpandedByTheProgram) {
  const fs::path folder = root_ / "prompt";
  fs::create_directories(folder / "out");
  const struct {
    std::string name;
    Bytes xbm;
    std::string output;
  } files[] = {
      {"cafe.xbm", PlainXbm(1, 1, {0xF800}), "cafe.bmp"},
      {"café.xbm", PlainXbm(2, 1, {0x07E0, 0x001F}), "café.bmp"},
      {"日本.xbm", kGood, "日本.bmp"},
  };
  for (const auto& file : files) Put(folder / PathFromUtf8(file.name), file.xbm);
  Put(folder / "notes.txt", kOld);
  const std::wstring program = L"\"" + test::Xbm2BmpProgram().wstring() + L"\"";

  const test::ProcessResult all = test::RunInCommandShell(program + L" -d out *.xbm", folder, root_ / "scratch");
  EXPECT_EQ(all.exitCode, 0) << all.err;
  EXPECT_NE(all.err.find("3 converted, 0 failed, 0 skipped"), std::string::npos) << all.err;
  for (const auto& file : files) {
    const Bytes want = test::DecodedBmp(folder / PathFromUtf8(file.name));
    ASSERT_FALSE(want.empty()) << file.name;
    EXPECT_EQ(Get(folder / "out" / PathFromUtf8(file.output)), want) << file.output;
  }

  const struct {
    std::wstring arg;
    std::string message;
  } unmatched[] = {
      {L"nothing*.xbm", "xbm2bmp: nothing*.xbm: cannot be opened: No such file or directory"},
      {L"missing.xbm", "xbm2bmp: missing.xbm: cannot be opened: No such file or directory"},
  };
  for (const auto& c : unmatched) {
    const test::ProcessResult have = test::RunInCommandShell(program + L" -d out " + c.arg, folder, root_ / "scratch");
    EXPECT_EQ(have.exitCode, 1) << have.err;
    EXPECT_NE(have.err.find(c.message), std::string::npos) << "have \"" << have.err << "\", want " << c.message;
  }
}
#endif

}  // namespace
}  // namespace asg
