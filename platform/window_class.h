#pragma once
// Window classes of our own, registered on first use.

#include <windows.h>

namespace platform {

// Registers the class `name` with `proc` unless this program has already done so.
void RegisterWindowClassOnce(const wchar_t* name, WNDPROC proc, UINT style = 0);

}  // namespace platform
