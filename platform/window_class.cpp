#include "platform/window_class.h"

namespace platform {

void RegisterWindowClassOnce(const wchar_t* name, WNDPROC proc, UINT style) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace platform
