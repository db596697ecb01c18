#pragma once
// Helpers of the browsing-control tests: folders made on disk for one test,
// a stand-in for the drive queries, the current directory.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <windows.h>

#include "platform/drives.h"

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes. Names are UTF-8, as the controls hold them.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }  // ends in "\"
  // Makes the folder `relative` (and the folders on the way) and returns its path, ending in "\".
  std::string MakeFolder(std::string_view relative, DWORD attributes = 0) const;
  void MakeFile(std::string_view relative, DWORD attributes = 0) const;
  void MakeFileWith(std::string_view relative, std::string_view content) const;
  std::string Content(std::string_view path) const;  // of a file given by its full name
  void Remove(std::string_view relative) const;
  // True when the file system kept `attributes` on `relative`.
  bool HasAttributes(std::string_view relative, DWORD attributes) const;

 private:
  std::string path_;
};

// Presents the drives of `types` (letter -> DRIVE_*) while it lives.
class FakeDrives {
 public:
  explicit FakeDrives(std::map<char, unsigned> types);
  ~FakeDrives();
  FakeDrives(const FakeDrives&) = delete;
  FakeDrives& operator=(const FakeDrives&) = delete;

 private:
  platform::DriveQueries previous_;
};

// Changes the current directory while it lives.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(std::string_view path);
  ~CurrentDirectory();

 private:
  std::wstring previous_;
};

// Converts a UTF-8 literal of a test to Windows-1251.
std::string Cp1251(std::string_view utf8);

}  // namespace testing_support
