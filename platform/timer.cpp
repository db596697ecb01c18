#include "platform/timer.h"

namespace platform {

namespace {
constexpr UINT_PTR kTimerId = 1;
}  // namespace

Timer::TickWindow::TickWindow(Timer& timer) : Control(nullptr), timer_(timer) { CreateMessageOnlyHandle(); }

LRESULT Timer::TickWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kTimerId) {
    timer_.Tick();
    return 0;
  }
  return DefaultHandling(msg, wp, lp);
}

Timer::Timer(UINT intervalMs) : interval_(intervalMs), window_(*this) {}

Timer::~Timer() { SetEnabled(false); }

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_ || !window_.Handle()) return;
  enabled_ = enabled;
  if (enabled) SetTimer(window_.Handle(), kTimerId, interval_, nullptr);
  else KillTimer(window_.Handle(), kTimerId);
}

void Timer::Tick() {
  if (enabled_ && OnTick) OnTick(*this);
}

}  // namespace platform
