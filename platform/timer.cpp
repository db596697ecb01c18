#include "platform/timer.h"

#include "platform/window_class.h"

namespace platform {

namespace {

constexpr wchar_t kClassName[] = L"AsgTimer";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

Timer::Timer(UINT intervalMs) : interval_(intervalMs) {
  RegisterWindowClassOnce(kClassName, &Timer::WindowProc);
  hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                          nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Timer::~Timer() {
  SetEnabled(false);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) SetTimer(hwnd_, kTimerId, interval_, nullptr);
  else KillTimer(hwnd_, kTimerId);
}

LRESULT CALLBACK Timer::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kTimerId) {
    auto* self = reinterpret_cast<Timer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->enabled_ && self->OnTick) self->OnTick(*self);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace platform
