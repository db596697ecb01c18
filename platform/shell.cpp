#include "platform/shell.h"

#include <shellapi.h>

#include "platform/text.h"

namespace platform {

std::function<void(HWND, const std::string&)> ShellOpener = &ShellExecuteOpen;

void ShellOpen(HWND owner, const std::string& target) {
  if (ShellOpener) ShellOpener(owner, target);
}

void ShellExecuteOpen(HWND owner, const std::string& target) {
  ShellExecuteW(owner, nullptr, Widen(target).c_str(), L"", L"", SW_SHOW);
}

}  // namespace platform
