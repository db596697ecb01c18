#pragma once
// Answers a system dialog (save-file dialog, folder browser) that this thread
// shows, from a task that runs inside the dialog's own message loop: once a
// dialog window is shown, `answer` gets it. A dialog still open about ten
// seconds later is cancelled, so a failing run never hangs.

#include <functional>
#include <string>
#include <utility>

#include <windows.h>

#include "tests/platform/message_loop.h"

namespace testing_dialogs {

class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND dialog)> answer) {
    tasks_.RunEvery(100, [answer = std::move(answer), ticks = 0]() mutable {
      HWND dialog = FindDialog();
      if (!dialog) return false;
      ++ticks;
      if (ticks == 3 && answer) answer(dialog);  // the dialog has filled itself by now
      if (ticks < 100) return false;
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
  }

  // The shown dialog window of this thread, or null.
  static HWND FindDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &IsShownDialog, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  static std::wstring TextOf(HWND hwnd) {
    wchar_t text[512] = {};
    GetWindowTextW(hwnd, text, 512);
    return text;
  }

  // True when a child window of `parent` shows exactly `text`.
  static bool HasChildWithText(HWND parent, const std::wstring& text) {
    TextSearch search{&text};
    EnumChildWindows(parent, &MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

 private:
  struct TextSearch {
    const std::wstring* text;
    bool found = false;
  };

  static BOOL CALLBACK IsShownDialog(HWND hwnd, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
      *reinterpret_cast<HWND*>(out) = hwnd;
      return FALSE;
    }
    return TRUE;
  }

  static BOOL CALLBACK MatchText(HWND child, LPARAM p) {
    auto* search = reinterpret_cast<TextSearch*>(p);
    if (*search->text == TextOf(child)) search->found = true;
    return !search->found;
  }

  testing_loop::LoopTasks tasks_;
};

}  // namespace testing_dialogs
