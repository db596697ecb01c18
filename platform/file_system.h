#pragma once
// Folder queries, with Windows-1251 names and the system's wide-character functions.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True when `path` names an existing directory (a trailing "\" is allowed).
bool IsDirectory(std::string_view path);

// The names of the folders inside `folder` ("." and ".." left out), sorted
// ignoring case in the order of the user's default locale. Empty when the
// folder cannot be listed.
std::vector<std::string> ListSubfolders(std::string_view folder);

// The process's current directory.
std::string CurrentDirectory();

}  // namespace platform
