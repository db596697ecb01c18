// The guard that xbm2bmp keeps so that its inputs may be mapped, and the
// notes of temporary files that its interruption handler removes.

#include "cli/mapped_input_guard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cli/interruption.h"
#include "tests/conversion/xbm_test_files.h"

namespace asg::cli {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::PutFile;

class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("asg_guard_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
    return names;
  }

  fs::path dir_;
};

#ifndef _WIN32
// Another program cutting a large input short while it is read must not crash
// the reader: the lost part reads as zeros and the content says so.
TEST_F(GuardTest, ContentCutShortMeanwhileIsReportedNotACrash) {
  const Bytes large(3 << 20, 0xAB);
  PutFile(dir_ / "in.xbm", large);
  MappedInputGuard guard;
  FileContent content(&guard);
  InputFile file;
  ASSERT_EQ(file.Open(dir_ / "in.xbm"), "");
  ASSERT_EQ(content.Load(file, large.size()), "");
  EXPECT_TRUE(content.Intact());
  fs::resize_file(dir_ / "in.xbm", 1000);
  uint64_t sum = 0;
  for (uint8_t b : content.bytes()) sum += b;
  EXPECT_EQ(sum, 0xABull * 1000) << "have a sum of " << sum << ", want the 1000 bytes that are left";
  EXPECT_FALSE(content.Intact()) << "have intact, want the truncation noticed";

  PutFile(dir_ / "in.xbm", large);
  ASSERT_EQ(file.Open(dir_ / "in.xbm"), "");
  ASSERT_EQ(content.Load(file, large.size()), "");
  EXPECT_TRUE(content.Intact()) << "a new load starts intact";
}

// One mapping is watched at a time; another content is read meanwhile, and
// mapped again once the first is gone.
TEST_F(GuardTest, OneMappingIsWatchedAtATime) {
  const Bytes large(2 << 20, 0x3C);
  PutFile(dir_ / "in.xbm", large);
  MappedInputGuard guard;
  FileContent first(&guard), second(&guard);
  InputFile file;
  ASSERT_EQ(file.Open(dir_ / "in.xbm"), "");
  ASSERT_EQ(first.Load(file, large.size()), "");
  EXPECT_FALSE(guard.Watch(&file, 10)) << "a second range was taken while one is watched";
  ASSERT_EQ(file.Open(dir_ / "in.xbm"), "");
  ASSERT_EQ(second.Load(file, large.size()), "");
  EXPECT_TRUE(Bytes(second.bytes().begin(), second.bytes().end()) == large);
  first.Clear();
  EXPECT_TRUE(guard.Watch(&file, 10)) << "the range is free again once the mapping is gone";
  guard.Unwatch(&file);
}
#endif

// RemoveAll removes the files still noted, and only those; a name that finds
// no free slot is simply not noted.
TEST_F(GuardTest, TemporaryFilesRemovesWhatIsStillNoted) {
  TemporaryFiles files;
  std::vector<int> slots;
  for (int i = 0; i < 18; ++i) {
    const fs::path name = dir_ / (std::to_string(i) + ".tmp");
    PutFile(name, {1});
    files.Hold();
    slots.push_back(files.Remember(name));
    files.Release();
  }
  EXPECT_EQ(slots[16], -1) << "have a slot for the 17th name, want none: there are 16";
  EXPECT_EQ(slots[17], -1);
  files.Hold();
  files.Forget(slots[3]);  // committed: its file stays
  files.Release();
  files.RemoveAll();
  EXPECT_EQ(Names(), (std::set<std::string>{"3.tmp", "16.tmp", "17.tmp"}));
}

}  // namespace
}  // namespace asg::cli
