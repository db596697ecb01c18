#pragma once
// What the tests of the real xbm2bmp program share: where the program is, and
// the names in a folder (files read and written whole come with the XBM builder).

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/conversion/xbm_test_files.h"

namespace asg::test {

inline std::filesystem::path Xbm2BmpProgram() {
  std::string path = XBM2BMP_PATH;
#ifdef _WIN32
  // Under Wine the build's Unix path is reached through drive Z:.
  if (!path.empty() && path.front() == '/') {
    for (char& c : path) c = c == '/' ? '\\' : c;
    path = "Z:" + path;
  }
#endif
  return path;
}

// Every name in `folder`, hidden ones included, in UTF-8.
inline std::set<std::string> NamesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace(name.begin(), name.end());
  }
  return names;
}

inline std::string Show(const std::set<std::string>& names) {
  std::string text = "{";
  for (const std::string& name : names) {
    text += ' ';
    text.append(name, 0, 40);
  }
  return text + " }";
}

}  // namespace asg::test
