#pragma once
// A repeating timer of the user-interface thread. It ticks through a hidden
// message-only window of its own; register it with a window (Own) so that it
// goes with that window.

#include <functional>

#include <windows.h>

#include "platform/control.h"

namespace platform {

class Timer : public Owned {
 public:
  explicit Timer(UINT intervalMs);
  ~Timer() override;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  UINT Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void(Timer&)> OnTick;

 private:
  // The window that receives the ticks and hands them to the timer.
  class TickWindow : public Control {
   public:
    explicit TickWindow(Timer& timer);

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

   private:
    Timer& timer_;
  };

  void Tick();

  UINT interval_;
  bool enabled_ = false;
  TickWindow window_;
};

}  // namespace platform
