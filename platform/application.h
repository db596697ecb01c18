#pragma once
// The message loop of the one user-interface thread.

#include <functional>

#include <windows.h>

namespace platform {

class Form;

class Application {
 public:
  // The window whose closing ends the program: a close request to it posts the quit message.
  static void SetMainForm(Form* form) { mainForm_ = form; }
  static Form* MainForm() { return mainForm_; }

  static bool Terminated() { return terminated_; }
  static void Terminate() { terminated_ = true; }

  // Shows `main` and processes messages until
  // the application is terminated (a quit message, or Terminate()).
  static void Run(Form& main);

  // Dispatches every pending message; a quit message terminates the application.
  // Every window of ours gets the keyboard interface of a dialog box (Tab and
  // Shift+Tab through the tab stops in creation order, Enter on the focused
  // push button), and the mouse wheel goes to the window under the pointer.
  // The main loop and every modal wait run through here.
  static void ProcessMessages();
  // Waits for a message, then dispatches every pending one.
  static void WaitAndProcess();
  // A nested loop: processes messages until `done` returns true or the
  // application is terminated.
  static void ProcessUntil(const std::function<bool()>& done);

  // Runs when Windows ends the session (WM_ENDSESSION with its flag set) while
  // the main form is alive; the entry sets it to tear everything down at once.
  static std::function<void()> OnEndSession;

  // Back to the start state, for tests that run several applications in one process.
  static void Reset();

 private:
  static Form* mainForm_;
  static bool terminated_;
};

}  // namespace platform
