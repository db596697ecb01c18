#include "platform/timer.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/form.h"
#include "tests/platform/message_loop.h"

namespace platform {
namespace {

using testing_loop::PumpFor;

TEST(Timer, TicksOnlyWhileEnabled) {
  Timer timer(20);
  int ticks = 0;
  timer.OnTick = [&](Timer&) { ++ticks; };
  PumpFor(120);
  EXPECT_EQ(ticks, 0) << "a new timer does not run";
  timer.SetEnabled(true);
  PumpFor(300);
  EXPECT_GE(ticks, 2) << "have " << ticks << " ticks in 300 ms of a 20 ms timer, want several";
  timer.SetEnabled(false);
  const int stopped = ticks;
  PumpFor(120);
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
  PumpFor(100);
  EXPECT_EQ(ticks, 0) << "no tick reaches a released timer";
}

}  // namespace
}  // namespace platform
