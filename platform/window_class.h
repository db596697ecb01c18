#pragma once
// Window classes of our own, registered on first use.

#include <windows.h>

namespace platform {

// Registers the class `name` with `proc` unless this program has already done
// so. Its windows show the program's icon, the icon resource "MAINICON" of the
// exe (the system's default icon when the exe has none).
void RegisterWindowClassOnce(const wchar_t* name, WNDPROC proc, UINT style = 0);

}  // namespace platform
