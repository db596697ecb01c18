#include "platform/window_class.h"

namespace platform {

namespace {
constexpr const wchar_t* kProgramIcon = L"MAINICON";
}

void RegisterWindowClassOnce(const wchar_t* name, WNDPROC proc, UINT style) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(instance, kProgramIcon);
  // The title bar's small icon drawn for its size, not shrunk from the large one.
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, kProgramIcon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

}  // namespace platform
