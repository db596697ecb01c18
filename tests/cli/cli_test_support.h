#pragma once
// What the tests of the real xbm2bmp program share: where the program is, and
// files read and written whole.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

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

inline std::vector<uint8_t> GetFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void PutFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
