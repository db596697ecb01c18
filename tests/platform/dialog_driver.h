#pragma once
// Answers a system dialog (save-file dialog, folder browser) that this thread
// shows, from a timer that fires inside the dialog's own message loop: once a
// dialog window is shown, `answer` gets it. A dialog still open about ten
// seconds later is cancelled, so a failing run never hangs.

#include <functional>
#include <string>

#include <windows.h>

namespace testing_dialogs {

class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND dialog)> answer) {
    answer_ = std::move(answer);
    ticks_ = 0;
    timer_ = SetTimer(nullptr, 0, 100, &Tick);
  }
  ~DialogDriver() {
    KillTimer(nullptr, timer_);
    answer_ = nullptr;
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

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

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindDialog();
    if (!dialog) return;
    ++ticks_;
    if (ticks_ == 3 && answer_) answer_(dialog);  // the dialog has filled itself by now
    if (ticks_ == 100) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  }

  static inline std::function<void(HWND)> answer_;
  static inline int ticks_ = 0;
  UINT_PTR timer_;
};

}  // namespace testing_dialogs
