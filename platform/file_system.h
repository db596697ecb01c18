#pragma once
// Folder queries, with names in UTF-8 (see text.h) and the system's
// wide-character functions.

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

// The names of the files that match `pattern` (a folder, "\" and a wildcard
// mask such as "*.xbm", matched by the system's file search), of every
// attribute: normal, read-only, hidden, system, archive. Folders are left out
// whatever their names. In the order the system's search gives them; empty
// when nothing matches or the folder cannot be listed.
std::vector<std::string> ListFiles(std::string_view pattern);

// The process's current directory.
std::string CurrentDirectory();

}  // namespace platform
