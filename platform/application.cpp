#include "platform/application.h"

#include <windowsx.h>

#include "platform/form.h"

namespace platform {

namespace {

// The window whose keyboard interface handles a key for `hwnd`: going up from
// it, the first window that is not a container of controls (WS_EX_CONTROLPARENT),
// or the top-level window. Tab and Shift+Tab move through the tab stops inside
// it, containers included; Enter presses its focused push button.
HWND KeyboardDialogOf(HWND hwnd) {
  HWND dialog = hwnd;
  while (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(dialog);
    if (!parent) break;
    dialog = parent;
    if (!(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) break;
  }
  return dialog;
}

// The wheel scrolls what is under the mouse pointer, as users expect of every
// window, not the control that has the keyboard focus.
void AimWheelAtPointer(MSG& msg) {
  const POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  HWND under = WindowFromPoint(at);
  if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) msg.hwnd = under;
}

void Deliver(MSG& msg) {
  if (msg.message == WM_MOUSEWHEEL || msg.message == WM_MOUSEHWHEEL) AimWheelAtPointer(msg);
  if (msg.hwnd && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    HWND dialog = KeyboardDialogOf(msg.hwnd);
    // Only our own windows; a control's own keys (arrows, Home, End, letters)
    // still reach it, since it asks for them through WM_GETDLGCODE.
    if (dynamic_cast<Form*>(Control::FromHandle(dialog)) && IsDialogMessageW(dialog, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

}  // namespace

Form* Application::mainForm_ = nullptr;
bool Application::terminated_ = false;
std::function<void()> Application::OnEndSession;

void Application::Reset() {
  mainForm_ = nullptr;
  terminated_ = false;
  OnEndSession = nullptr;
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    Deliver(msg);
  }
}

void Application::WaitAndProcess() {
  WaitMessage();
  ProcessMessages();
}

void Application::ProcessUntil(const std::function<bool()>& done) {
  ProcessMessages();
  while (!terminated_ && !done()) WaitAndProcess();
}

void Application::Run(Form& main) {
  mainForm_ = &main;
  main.Show();
  ProcessUntil([] { return false; });
}

}  // namespace platform
