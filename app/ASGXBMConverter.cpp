// Program entry: builds the main window hidden, runs the message loop until
// the window is closed, tears everything down and exits with code 0. The
// program reads no command line and keeps no settings.

#include <windows.h>

#include "app/MainUnit.h"
#include "platform/application.h"
#include "platform/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  NewMainWindow(AppMain, nullptr);
  platform::Application::OnEndSession = [] { DestroyMainWindow(); };
  platform::Application::Run(*AppMain->Window);
  DestroyMainWindow();
  FinalizeMainUnit();
  return 0;
}
