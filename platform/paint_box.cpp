#include "platform/paint_box.h"

#include <windowsx.h>

namespace platform {

PaintBox::PaintBox(Control& parent) : Control(&parent) {
  CreateHandle(nullptr, WS_VISIBLE, 0, {0, 0, 100, 100});
}

LRESULT PaintBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      if (OnPaint) OnPaint(*this, dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed_) return 0;
      pressed_ = false;
      ReleaseCapture();
      const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT client;
      GetClientRect(Handle(), &client);
      if (PtInRect(&client, at) && OnClick) OnClick(*this);
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      break;
    default:
      break;
  }
  return DefaultHandling(msg, wp, lp);
}

}  // namespace platform
