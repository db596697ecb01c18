// Expansion of "*" and "?" in the arguments of xbm2bmp.

#include "cli/wildcards.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace asg::cli {
namespace {

namespace fs = std::filesystem;

fs::path Utf8Path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::vector<std::string> Texts(const std::vector<fs::path>& paths) {
  std::vector<std::string> texts;
  for (const fs::path& path : paths) {
    const std::u8string text = path.u8string();
    texts.emplace_back(text.begin(), text.end());
  }
  return texts;
}

std::vector<fs::path> Paths(const std::vector<std::string>& texts) {
  std::vector<fs::path> paths;
  for (const std::string& text : texts) paths.push_back(Utf8Path(text));
  return paths;
}

#ifdef _WIN32
// A folder of sprites made for each test, which is the current folder meanwhile:
//   a.xbm b.XBM cafe.xbm café.xbm h.xbm (hidden) 日本.xbm notes.txt,
//   a folder dir.xbm, and sub\c.xbm.
class Wildcards : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    root = fs::temp_directory_path() / ("asg_wildcards_" + std::to_string(seed()));
    fs::create_directories(root / "dir.xbm");
    fs::create_directories(root / "sub");
    for (const char* name : {"a.xbm", "b.XBM", "cafe.xbm", "café.xbm", "h.xbm", "日本.xbm", "notes.txt", "sub\\c.xbm"})
      std::ofstream(root / Utf8Path(name)) << name;
    SetFileAttributesW((root / "h.xbm").c_str(), FILE_ATTRIBUTE_HIDDEN);
    previous = fs::current_path();
    fs::current_path(root);
  }
  void TearDown() override {
    fs::current_path(previous);
    SetFileAttributesW((root / "h.xbm").c_str(), FILE_ATTRIBUTE_NORMAL);
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  fs::path root, previous;
};

TEST_F(Wildcards, APatternBecomesTheMatchingFilesInNameOrder) {
  const std::string folder = Texts({root})[0];
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> want;
  } cases[] = {
      {{"*.xbm"}, {"a.xbm", "b.XBM", "cafe.xbm", "café.xbm", "h.xbm", "日本.xbm"}},  // no folder, hidden file too
      {{"?.xbm"}, {"a.xbm", "b.XBM", "h.xbm"}},
      {{"caf?.xbm"}, {"cafe.xbm", "café.xbm"}},
      {{"日*"}, {"日本.xbm"}},
      {{folder + "\\?.x*"}, {folder + "\\a.xbm", folder + "\\b.XBM", folder + "\\h.xbm"}},
      {{"sub/*.xbm"}, {"sub/c.xbm"}},  // the folder part as typed
      {{"-d", "out", "*.txt", "a.xbm"}, {"-d", "out", "notes.txt", "a.xbm"}},
      // Kept as they are, so that a missing file is reported under its own name.
      {{"*.none"}, {"*.none"}},
      {{"missing.xbm"}, {"missing.xbm"}},
      {{"dir.*"}, {"dir.*"}},        // matches only a folder
      {{"s*\\c.xbm"}, {"s*\\c.xbm"}},  // a wildcard in a folder part
      {{"nosuch\\*.xbm"}, {"nosuch\\*.xbm"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    EXPECT_EQ(Texts(ExpandWildcards(Paths(c.args))), c.want);
  }
}
#else
TEST(Wildcards, ArgumentsComeBackAsTheShellHandedThemOn) {
  // The shell has expanded what it could; what it left is meant as it is.
  const std::vector<std::string> args = {"-d", "out", "*.xbm", "a?.xbm", "plain.xbm"};
  EXPECT_EQ(Texts(ExpandWildcards(Paths(args))), args);
}
#endif

}  // namespace
}  // namespace asg::cli
