#include "platform/application.h"

#include "platform/form.h"

namespace platform {

Form* Application::mainForm_ = nullptr;
bool Application::running_ = false;
bool Application::terminated_ = false;
std::function<void()> Application::OnEndSession;

void Application::Reset() {
  mainForm_ = nullptr;
  running_ = false;
  terminated_ = false;
  OnEndSession = nullptr;
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Application::WaitAndProcess() {
  WaitMessage();
  ProcessMessages();
}

void Application::ProcessUntil(const std::function<bool()>& done) {
  ProcessMessages();
  while (!terminated_ && !done()) WaitAndProcess();
}

void Application::Run(Form& main) {
  running_ = true;
  mainForm_ = &main;
  main.Show();
  ProcessUntil([] { return false; });
  running_ = false;
}

}  // namespace platform
