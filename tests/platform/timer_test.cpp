#include "platform/timer.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/application.h"
#include "platform/form.h"

namespace platform {
namespace {

// Processes messages for `ms` milliseconds.
void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Application::ProcessMessages();
  }
}

TEST(Timer, TicksOnlyWhileEnabled) {
  Timer timer(20);
  int ticks = 0;
  timer.OnTick = [&](Timer&) { ++ticks; };
  Pump(120);
  EXPECT_EQ(ticks, 0) << "a new timer does not run";
  timer.SetEnabled(true);
  Pump(300);
  EXPECT_GE(ticks, 2) << "have " << ticks << " ticks in 300 ms of a 20 ms timer, want several";
  timer.SetEnabled(false);
  const int stopped = ticks;
  Pump(120);
  EXPECT_EQ(ticks, stopped);
}

TEST(Timer, StopsWithTheWindowItIsRegisteredWith) {
  int ticks = 0;
  {
    Form form("timer");
    Timer& timer = form.Own(std::make_unique<Timer>(10));
    timer.OnTick = [&](Timer&) { ++ticks; };
    timer.SetEnabled(true);
  }
  Pump(100);
  EXPECT_EQ(ticks, 0) << "no tick reaches a released timer";
}

}  // namespace
}  // namespace platform
