#include "platform/button.h"

namespace platform {

Button::Button(Control& parent, std::string_view text) : Control(&parent) {
  CreateHandle(L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, {0, 0, kDefaultWidth, kDefaultHeight},
               text);
}

void Button::Click() { Send(BM_CLICK); }

bool Button::OnCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  if (OnClick) OnClick(*this);
  return true;
}

}  // namespace platform
