#pragma once
// Opening documents, links and "mailto:" addresses with the program that the
// Windows shell associates with them.

#include <functional>
#include <string>

#include <windows.h>

namespace platform {

// Asks the shell to open `target` (no verb, no parameters, SW_SHOW); the
// result is ignored: nothing happens when no program takes it.
void ShellOpen(HWND owner, const std::string& target);

// What ShellOpen runs: the shell itself; tests put a recorder here.
extern std::function<void(HWND owner, const std::string& target)> ShellOpener;
void ShellExecuteOpen(HWND owner, const std::string& target);

}  // namespace platform
