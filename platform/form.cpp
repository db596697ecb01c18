#include "platform/form.h"

#include <vector>

#include "platform/application.h"
#include "platform/menu.h"

namespace platform {

Form::Form(std::string_view caption) : Form(nullptr, caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0) {}

Form::Form(Control* parent, std::string_view text, DWORD style, DWORD exStyle) : Control(parent) {
  CreateHandle(nullptr, style, exStyle, {0, 0, 100, 100}, text);
}

Form::~Form() {
  if (Application::MainForm() == this) Application::SetMainForm(nullptr);
  Destroy();
}

void Form::Show() {
  if (Handle()) ShowWindow(Handle(), SW_SHOW);
}

void Form::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

void Form::CenterOnScreen() {
  const Rect b = Bounds();
  SetPosition(CenteredOrigin(GetSystemMetrics(SM_CXSCREEN), b.Width()),
              CenteredOrigin(GetSystemMetrics(SM_CYSCREEN), b.Height()));
}

int Form::ShowModal() {
  modalResult_ = 0;
  HWND self = Handle();
  if (!self) return 0;
  HWND focus = GetFocus();
  std::vector<HWND> disabled;
  if (HWND owner = Parent() ? Parent()->Handle() : nullptr) {
    for (HWND child = GetWindow(owner, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (child == self || !IsWindowEnabled(child)) continue;
      EnableWindow(child, FALSE);
      disabled.push_back(child);
    }
  }
  Show();
  Application::ProcessUntil([this] { return modalResult_ != 0; });
  // The wait may have ended with the program, with this window already gone.
  for (HWND child : disabled) {
    if (IsWindow(child)) EnableWindow(child, TRUE);
  }
  if (focus && IsWindow(focus)) SetFocus(focus);
  return IsWindow(self) ? modalResult_ : 0;
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wp && !shown_) {
        shown_ = true;
        if (OnShow) OnShow(*this);
      } else if (!wp) {
        shown_ = false;
      }
      break;
    case WM_ACTIVATE:
      // Back in front, the control that had the focus gets it again, as in a
      // dialog box, instead of the window itself.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        lastFocus_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
      } else if (lastFocus_ && IsChild(Handle(), lastFocus_) && IsWindowVisible(lastFocus_) &&
                 IsWindowEnabled(lastFocus_) && !HIWORD(wp)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_COMMAND:
      // A command of the menu bar: no control handle, notification code 0.
      if (lp == 0 && HIWORD(wp) == 0 && menuBar_ && menuBar_->Command(LOWORD(wp))) return 0;
      break;
    case WM_CLOSE:
      if (Application::MainForm() == this) {
        PostQuitMessage(0);
        return 0;
      }
      Hide();
      return 0;
    case WM_ENDSESSION:
      if (wp && Application::MainForm() == this) {
        Application::Terminate();
        if (Application::OnEndSession) Application::OnEndSession();
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandling(msg, wp, lp);
}

}  // namespace platform
