#include "test_support.h"

#include <algorithm>

#include "platform/text.h"

namespace testing_support {

namespace {

std::wstring Wide(std::string_view utf8) { return platform::WidenName(utf8); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
      else DeleteFileW(child.c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  static int serial = 0;
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::wstring path = std::wstring(temp) + L"asg-controls-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(++serial);
  RemoveTree(path);
  CreateDirectoryW(path.c_str(), nullptr);
  path_ = platform::NarrowName(path) + "\\";
}

TempFolder::~TempFolder() { RemoveTree(Wide(path_.substr(0, path_.size() - 1))); }

std::string TempFolder::MakeFolder(std::string_view relative, DWORD attributes) const {
  std::string path = path_;
  size_t start = 0;
  while (start < relative.size()) {
    const size_t slash = std::min(relative.find('\\', start), relative.size());
    path += std::string(relative.substr(start, slash - start)) + "\\";
    CreateDirectoryW(Wide(path).c_str(), nullptr);
    start = slash + 1;
  }
  if (attributes) SetFileAttributesW(Wide(path).c_str(), attributes);
  return path;
}

void TempFolder::MakeFile(std::string_view relative, DWORD attributes) const {
  const std::wstring path = Wide(path_ + std::string(relative));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (attributes) SetFileAttributesW(path.c_str(), attributes);
}

void TempFolder::MakeFileWith(std::string_view relative, std::string_view content) const {
  const std::wstring path = Wide(path_ + std::string(relative));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

std::string TempFolder::Content(std::string_view path) const {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<cannot be opened>";
  std::string content(4096, '\0');
  DWORD got = 0;
  ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
  CloseHandle(file);
  content.resize(got);
  return content;
}

void TempFolder::Remove(std::string_view relative) const {
  RemoveTree(Wide(path_ + std::string(relative)));
}

bool TempFolder::HasAttributes(std::string_view relative, DWORD attributes) const {
  const DWORD have = GetFileAttributesW(Wide(path_ + std::string(relative)).c_str());
  return have != INVALID_FILE_ATTRIBUTES && (have & attributes) == attributes;
}

FakeDrives::FakeDrives(std::map<char, unsigned> types) {
  uint32_t mask = 0;
  for (const auto& [letter, type] : types) mask |= 1u << (letter - 'A');
  previous_ = platform::SetDriveQueries(
      {[mask] { return mask; },
       [types](std::string_view drive) -> unsigned {
         if (drive.size() != 2 || drive[1] != ':') return DRIVE_NO_ROOT_DIR;
         const char letter = (drive[0] >= 'a' && drive[0] <= 'z') ? static_cast<char>(drive[0] - 'a' + 'A') : drive[0];
         const auto found = types.find(letter);
         return found == types.end() ? DRIVE_NO_ROOT_DIR : found->second;
       }});
}

FakeDrives::~FakeDrives() { platform::SetDriveQueries(std::move(previous_)); }

CurrentDirectory::CurrentDirectory(std::string_view path) {
  wchar_t buffer[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  previous_ = buffer;
  SetCurrentDirectoryW(Wide(path).c_str());
}

CurrentDirectory::~CurrentDirectory() { SetCurrentDirectoryW(previous_.c_str()); }

std::string Cp1251(std::string_view utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return platform::Narrow(wide);
}

}  // namespace testing_support
