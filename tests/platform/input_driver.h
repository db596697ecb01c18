#pragma once
// Input as the system delivers it: keys, clicks, wheel turns and menu
// commands are posted to this thread's queue, where the program's message
// loop (Application::ProcessMessages) takes them like every other message.

#include <initializer_list>

#include <windows.h>

#include "platform/application.h"

namespace testing_input {

// Holds Shift down (or lets it go) in the thread's keyboard state, where the
// controls and the dialog keys look for it.
inline void SetShift(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// Presses and releases `key` on the control with the focus, Shift held when
// `shift` is set, and lets the loop deliver both messages.
inline void PressKey(WPARAM key, bool shift = false) {
  SetShift(shift);
  HWND target = GetFocus();
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  platform::Application::ProcessMessages();
  SetShift(false);
}

// A left click at `at` (client coordinates of `window`); `keys` adds MK_CONTROL or MK_SHIFT.
inline void Click(HWND window, POINT at, WPARAM keys = 0) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, where);
  PostMessageW(window, WM_LBUTTONUP, keys, where);
  platform::Application::ProcessMessages();
}

// Turns the wheel by `delta` (WHEEL_DELTA a notch, positive away from the
// user; for WM_MOUSEHWHEEL positive to the right) with the pointer at `screen`.
// The system posts the turn to the control with the focus.
inline void TurnWheel(POINT screen, int delta, UINT msg = WM_MOUSEWHEEL, WPARAM keys = 0) {
  PostMessageW(GetFocus(), msg, MAKEWPARAM(keys, static_cast<WORD>(static_cast<short>(delta))),
               MAKELPARAM(screen.x, screen.y));
  platform::Application::ProcessMessages();
}

// The middle of a window, in screen coordinates.
inline POINT MiddleOf(HWND window) {
  RECT rc;
  GetWindowRect(window, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// Queues the WM_COMMAND that a click on a menu item sends: the item at
// `positions` of the window's menu bar ({1} the second entry of the bar,
// {0, 2} the third entry, separators counted, of the first drop-down).
// Returns false when there is no such command.
inline bool PostMenuCommand(HWND window, std::initializer_list<int> positions) {
  HMENU menu = GetMenu(window);
  UINT id = static_cast<UINT>(-1);
  for (int position : positions) {
    if (!menu) return false;
    id = GetMenuItemID(menu, position);
    menu = GetSubMenu(menu, position);
  }
  if (id == static_cast<UINT>(-1)) return false;
  return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) != FALSE;
}

}  // namespace testing_input
