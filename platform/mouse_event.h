#pragma once
// The record of one mouse message, as events pass it on.

#include <windows.h>

namespace platform {

struct MouseEvent {
  UINT message = 0;  // WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, ...: tells the button and what happened
  WPARAM keys = 0;   // MK_* flags
  int x = 0;         // client coordinates
  int y = 0;

  static MouseEvent From(UINT msg, WPARAM wp, LPARAM lp) {
    return {msg, wp, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  }
};

}  // namespace platform
