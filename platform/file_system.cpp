#include "platform/file_system.h"

#include <algorithm>

#include <windows.h>

#include "platform/text.h"

namespace platform {

bool IsDirectory(std::string_view path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListSubfolders(std::string_view folder) {
  std::wstring pattern = Widen(folder);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*.*";

  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return {};
  do {
    const std::wstring_view name = entry.cFileName;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
    names.emplace_back(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);

  // The wide comparison of the wide names orders them as the ANSI comparison
  // orders their Windows-1251 forms, without losing what cp1251 cannot show.
  std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
  });
  std::vector<std::string> result;
  result.reserve(names.size());
  for (const std::wstring& name : names) result.push_back(Narrow(name));
  return result;
}

std::string CurrentDirectory() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring path(length, L'\0');
  const DWORD got = GetCurrentDirectoryW(length, path.data());
  path.resize(got < length ? got : 0);
  return Narrow(path);
}

}  // namespace platform
