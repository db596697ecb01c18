#include "cli/wildcards.h"

#include <algorithm>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace asg::cli {

#ifdef _WIN32
namespace {

namespace fs = std::filesystem;

constexpr std::wstring_view kWildcards = L"*?";
constexpr std::wstring_view kLongPathPrefix = L"\\\\?\\";

bool NameBefore(const std::wstring& a, const std::wstring& b) {
  const int order = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                         static_cast<int>(b.size()), TRUE);
  return order == CSTR_LESS_THAN || (order == CSTR_EQUAL && a < b);
}

// The files that `pattern` matches, or nothing when it is no pattern to expand.
std::vector<fs::path> Matches(const std::wstring& pattern) {
  const size_t cut = pattern.find_last_of(L"\\/:");
  const size_t nameStart = cut == std::wstring::npos ? 0 : cut + 1;
  if (pattern.find_first_of(kWildcards, nameStart) == std::wstring::npos) return {};
  const size_t folderStart = pattern.starts_with(kLongPathPrefix) ? kLongPathPrefix.size() : 0;
  // A name that begins with the prefix has its last backslash in or after it: nameStart >= folderStart.
  const std::wstring_view folderPart = std::wstring_view(pattern).substr(folderStart, nameStart - folderStart);
  if (folderPart.find_first_of(kWildcards) != std::wstring_view::npos) return {};

  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return {};
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);

  std::sort(names.begin(), names.end(), NameBefore);
  std::vector<fs::path> files;
  files.reserve(names.size());
  for (const std::wstring& name : names) files.emplace_back(pattern.substr(0, nameStart) + name);
  return files;
}

}  // namespace

std::vector<std::filesystem::path> ExpandWildcards(std::vector<std::filesystem::path> args) {
  std::vector<std::filesystem::path> expanded;
  expanded.reserve(args.size());
  for (std::filesystem::path& arg : args) {
    std::vector<std::filesystem::path> files = Matches(arg.native());
    if (files.empty()) {
      expanded.push_back(std::move(arg));
    } else {
      for (std::filesystem::path& file : files) expanded.push_back(std::move(file));
    }
  }
  return expanded;
}
#else
std::vector<std::filesystem::path> ExpandWildcards(std::vector<std::filesystem::path> args) { return args; }
#endif

}  // namespace asg::cli
