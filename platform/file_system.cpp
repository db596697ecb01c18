#include "platform/file_system.h"

#include <algorithm>
#include <functional>

#include <windows.h>

#include "platform/text.h"

namespace platform {

namespace {

// Calls `visit` with every entry that the system's search for `pattern` finds.
void ForEachEntry(const std::wstring& pattern, const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    visit(entry);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

bool IsFolder(const WIN32_FIND_DATAW& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace

bool IsDirectory(std::string_view path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(WidenName(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListSubfolders(std::string_view folder) {
  std::wstring pattern = WidenName(folder);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*.*";

  std::vector<std::wstring> names;
  ForEachEntry(pattern, [&names](const WIN32_FIND_DATAW& entry) {
    const std::wstring_view name = entry.cFileName;
    if (IsFolder(entry) && name != L"." && name != L"..") names.emplace_back(name);
  });

  // The wide comparison of the wide names orders them as the ANSI comparison
  // orders their Windows-1251 forms, without losing what cp1251 cannot show.
  std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
  });
  std::vector<std::string> result;
  result.reserve(names.size());
  for (const std::wstring& name : names) result.push_back(NarrowName(name));
  return result;
}

std::vector<std::string> ListFiles(std::string_view pattern) {
  std::vector<std::string> names;
  ForEachEntry(WidenName(pattern), [&names](const WIN32_FIND_DATAW& entry) {
    if (!IsFolder(entry)) names.push_back(NarrowName(entry.cFileName));
  });
  return names;
}

std::string CurrentDirectory() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  const DWORD got = GetCurrentDirectoryW(length, path.data());
  path.resize(got < length ? got : 0);
  return NarrowName(path);
}

}  // namespace platform
