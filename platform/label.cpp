#include "platform/label.h"

namespace platform {

// SS_NOTIFY makes the label take part in hit-testing, so it gets clicks and its cursor.
Label::Label(Control& parent, std::string_view text) : Control(&parent) {
  CreateHandle(L"STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOTIFY, 0, {0, 0, kDefaultWidth, kDefaultHeight},
               text);
}

void Label::SetCentered(bool centered) {
  LONG style = GetWindowLongW(Handle(), GWL_STYLE) & ~SS_TYPEMASK & ~SS_CENTERIMAGE;
  style |= centered ? (SS_CENTER | SS_CENTERIMAGE) : SS_LEFTNOWORDWRAP;
  SetWindowLongW(Handle(), GWL_STYLE, style);
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool Label::OnCommand(WORD code) {
  if (code != STN_CLICKED || !OnClick) return false;
  OnClick(*this);
  return true;
}

}  // namespace platform
