#include "conversion/file_io.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace asg {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    dir_ = fs::temp_directory_path() / ("asg_file_io_" + std::to_string(seed()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void Put(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> Get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Names in the test folder, so that a stray temporary file shows up.
  std::set<fs::path> Entries() {
    std::set<fs::path> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename());
    return names;
  }

  fs::path dir_;
};

// Bytes a text-mode read or write would change: CR LF, ^Z, NUL, high bytes.
const std::vector<uint8_t> kBinary = {'B', 'M', 0x0D, 0x0A, 0x1A, 0x00, 0xFF, 0x0A, 0x0D, 0x80};

TEST_F(FileIoTest, ReadWholeFileReturnsExactBytes) {
  std::vector<uint8_t> large(300000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 7 + i / 251);
  const struct {
    const char* name;
    std::vector<uint8_t> content;
  } cases[] = {{"binary.xbm", kBinary}, {"empty.xbm", {}}, {"large.xbm", large}};
  for (const auto& c : cases) {
    Put(dir_ / c.name, c.content);
    std::vector<uint8_t> have = Bytes("stale");
    ASSERT_TRUE(ReadWholeFile(dir_ / c.name, have)) << c.name;
    EXPECT_EQ(have, c.content) << c.name << ": have " << have.size() << " bytes, want " << c.content.size();
  }
}

TEST_F(FileIoTest, ReadWholeFileFailsOnMissingFileOrFolderAndLeavesBytesEmpty) {
  fs::create_directory(dir_ / "folder.xbm");
  for (const fs::path& path : {dir_ / "missing.xbm", dir_ / "folder.xbm", dir_ / "no" / "such.xbm"}) {
    std::vector<uint8_t> have = Bytes("stale");
    EXPECT_FALSE(ReadWholeFile(path, have)) << path << ": have success, want failure";
    EXPECT_TRUE(have.empty()) << path << ": have " << have.size() << " bytes left, want none";
  }
}

TEST_F(FileIoTest, ReadAndWriteUnicodeNames) {
  const fs::path path = dir_ / fs::path(u8"\u0441\u043F\u0440\u0430\u0439\u0442 \u00E9.bmp");
  ASSERT_EQ(WriteFileAtomically(path, kBinary), "");
  std::vector<uint8_t> have;
  ASSERT_TRUE(ReadWholeFile(path, have));
  EXPECT_EQ(have, kBinary);
  EXPECT_EQ(Entries(), std::set<fs::path>{path.filename()});
}

TEST_F(FileIoTest, WriteCreatesOrReplacesWholeFile) {
  const fs::path target = dir_ / "out.bmp";
  const std::vector<std::vector<uint8_t>> contents = {
      kBinary, Bytes("a much longer second content that the third must not keep"), Bytes("short"), {}};
  for (const std::vector<uint8_t>& content : contents) {
    ASSERT_EQ(WriteFileAtomically(target, content), "");
    const std::vector<uint8_t> have = Get(target);
    EXPECT_EQ(have, content) << "have " << have.size() << " bytes, want " << content.size();
    EXPECT_EQ(Entries(), std::set<fs::path>{"out.bmp"}) << "temporary file left behind";
  }
}

TEST_F(FileIoTest, TargetInMissingFolderFailsAndCreatesNothing) {
  const fs::path target = dir_ / "missing" / "out.bmp";
  const std::string reason = WriteFileAtomically(target, kBinary);
  EXPECT_NE(reason, "") << "have success, want a reason";
  EXPECT_FALSE(fs::exists(dir_ / "missing")) << "the missing folder was created";
  EXPECT_TRUE(Entries().empty()) << "have " << Entries().size() << " entries, want none";
}

TEST_F(FileIoTest, FailedReplacementLeavesOldTargetAndNoTemporaryFile) {
  // A folder in the way cannot be replaced by a file; a name of 250 characters
  // exists, but no longer temporary name can be made beside it.
  fs::create_directory(dir_ / "folder.bmp");
  Put(dir_ / "folder.bmp" / "inside", kBinary);
  const fs::path longName = dir_ / (std::string(246, 'n') + ".bmp");
  Put(longName, kBinary);
  const std::set<fs::path> before = Entries();

  for (const fs::path& target : {dir_ / "folder.bmp", longName}) {
    const std::string reason = WriteFileAtomically(target, Bytes("new content"));
    EXPECT_NE(reason, "") << target.filename().string().substr(0, 20) << ": have success, want a reason";
  }
  EXPECT_EQ(Get(dir_ / "folder.bmp" / "inside"), kBinary);
  EXPECT_EQ(Get(longName), kBinary) << "the old content did not survive";
  EXPECT_EQ(Entries(), before) << "temporary file left behind";
}

TEST_F(FileIoTest, WriterInPiecesReplacesTheTargetOnlyOnCommit) {
  const fs::path target = dir_ / "out.bmp";
  Put(target, kBinary);
  AtomicFileWriter file;
  ASSERT_EQ(file.Create(target), "");
  ASSERT_EQ(file.Write(Bytes("first ")), "");
  ASSERT_EQ(file.Write(Bytes("second")), "");
  EXPECT_EQ(Get(target), kBinary) << "the target changed before Commit";
  ASSERT_EQ(file.Commit(), "");
  EXPECT_EQ(Get(target), Bytes("first second"));
  EXPECT_EQ(Entries(), std::set<fs::path>{"out.bmp"}) << "temporary file left behind";
}

TEST_F(FileIoTest, WriterDroppedBeforeCommitLeavesTheTargetAndNoTemporaryFile) {
  const fs::path target = dir_ / "out.bmp";
  Put(target, kBinary);
  {
    AtomicFileWriter file;
    ASSERT_EQ(file.Create(target), "");
    ASSERT_EQ(file.Write(Bytes("half an image")), "");
  }
  EXPECT_EQ(Get(target), kBinary) << "have changed content, want the old content";
  EXPECT_EQ(Entries(), std::set<fs::path>{"out.bmp"}) << "temporary file left behind";
  AtomicFileWriter unused;
  EXPECT_NE(unused.Commit(), "") << "have success for a writer that created nothing, want a reason";
}

// Small files are read, large ones may be mapped: both give the exact bytes.
TEST_F(FileIoTest, FileContentHoldsTheExactBytesOfSmallAndLargeFiles) {
  std::vector<uint8_t> large(3 << 20);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 13 + i / 4093);
  FileContent content;  // reused, as a batch does
  for (const auto& bytes : {kBinary, large, std::vector<uint8_t>{}, kBinary}) {
    Put(dir_ / "in.xbm", bytes);
    ASSERT_TRUE(content.Load(dir_ / "in.xbm"));
    const std::vector<uint8_t> have(content.bytes().begin(), content.bytes().end());
    EXPECT_TRUE(have == bytes) << "have " << have.size() << " bytes, want " << bytes.size();
  }
  EXPECT_FALSE(content.Load(dir_ / "missing.xbm"));
  EXPECT_TRUE(content.bytes().empty()) << "have " << content.bytes().size() << " bytes of a missing file, want 0";
  EXPECT_FALSE(content.Load(dir_));
}

#ifndef _WIN32
// Another program cutting a large input short while it is read must not crash
// the reader: the lost part reads as zeros and the content says so.
TEST_F(FileIoTest, FileContentCutShortMeanwhileIsReportedNotACrash) {
  std::vector<uint8_t> large(3 << 20, 0xAB);
  Put(dir_ / "in.xbm", large);
  FileContent content;
  ASSERT_TRUE(content.Load(dir_ / "in.xbm"));
  EXPECT_TRUE(content.Intact());
  fs::resize_file(dir_ / "in.xbm", 1000);
  uint64_t sum = 0;
  for (uint8_t b : content.bytes()) sum += b;
  EXPECT_EQ(sum, 0xABull * 1000) << "have a sum of " << sum << ", want the 1000 bytes that are left";
  EXPECT_FALSE(content.Intact()) << "have intact, want the truncation noticed";

  Put(dir_ / "in.xbm", large);
  ASSERT_TRUE(content.Load(dir_ / "in.xbm"));
  EXPECT_TRUE(content.Intact()) << "a new load starts intact";
}
#endif

}  // namespace
}  // namespace asg
