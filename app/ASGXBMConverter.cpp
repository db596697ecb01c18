// Program entry: builds the main window hidden, runs the message loop until
// the window is closed, tears everything down and exits with code 0. The
// program reads no command line and keeps no settings.

#include <windows.h>

#include "app/MainUnit.h"
#include "platform/application.h"
#include "platform/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // A drive without a disk (an empty card reader picked in the drive list)
  // fails the call that asked, instead of raising the system's message box.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  NewMainWindow(AppMain, nullptr);
  // Windows is ending the session: tear down at once and end the process right
  // here, so that no handler or modal loop further up the stack returns into
  // objects that are gone.
  platform::Application::OnEndSession = [] {
    DestroyMainWindow();
    FinalizeMainUnit();
    ExitProcess(0);
  };
  platform::Application::Run(*AppMain->Window);
  DestroyMainWindow();
  FinalizeMainUnit();
  return 0;
}
