#pragma once
// The message loop in the Windows tests: pumping this thread's messages, and
// acting from inside a loop that the code under test runs (a modal wait, a
// system dialog's own loop) through tasks that come due on a thread timer.

#include <functional>
#include <map>
#include <memory>
#include <utility>

#include <windows.h>

#include "platform/application.h"

namespace testing_loop {

// Dispatches the pending messages of this thread.
inline void Pump() { platform::Application::ProcessMessages(); }

// Processes messages for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
}

// Tasks run by whatever message loop of this thread is running when they come
// due. The tasks an object started and that have not ended go with it.
class LoopTasks {
 public:
  LoopTasks() = default;
  LoopTasks(const LoopTasks&) = delete;
  LoopTasks& operator=(const LoopTasks&) = delete;
  ~LoopTasks() {
    for (auto it = tasks_.begin(); it != tasks_.end();) {
      if (it->second.owner != this) {
        ++it;
        continue;
      }
      KillTimer(nullptr, it->first);
      it = tasks_.erase(it);
    }
  }

  // Runs `task` once, about `delayMs` from now. It may run a loop of its own,
  // in which other tasks come due.
  void RunLater(std::function<void()> task, UINT delayMs = 20) {
    Start(delayMs, true, [task = std::move(task)] {
      task();
      return true;
    });
  }

  // Runs `task` every `periodMs` until it returns true.
  void RunEvery(UINT periodMs, std::function<bool()> task) { Start(periodMs, false, std::move(task)); }

 private:
  struct Task {
    LoopTasks* owner;
    std::shared_ptr<std::function<bool()>> run;  // shared: it keeps its state while a run may end its owner
    bool once;
    bool running = false;
  };

  void Start(UINT periodMs, bool once, std::function<bool()> run) {
    tasks_[SetTimer(nullptr, 0, periodMs, &Fire)] =
        Task{this, std::make_shared<std::function<bool()>>(std::move(run)), once};
  }

  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = tasks_.find(id);
    if (it == tasks_.end() || it->second.running) return;  // a tick inside the task's own loop
    if (it->second.once) {
      KillTimer(nullptr, id);
      const auto run = std::move(it->second.run);
      tasks_.erase(it);
      (*run)();
      return;
    }
    it->second.running = true;
    const auto run = it->second.run;
    const bool done = (*run)();
    it = tasks_.find(id);
    if (it == tasks_.end()) return;
    it->second.running = false;
    if (done) {
      KillTimer(nullptr, id);
      tasks_.erase(it);
    }
  }

  static inline std::map<UINT_PTR, Task> tasks_;
};

}  // namespace testing_loop
