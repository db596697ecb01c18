#include "cli/mapped_input_guard.h"

#include <atomic>
#include <cassert>
#include <cstdint>

#ifndef _WIN32
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace asg::cli {

#ifdef _WIN32
// Windows maps no inputs (and refuses to cut short a file that is mapped).
MappedInputGuard::MappedInputGuard() = default;
MappedInputGuard::~MappedInputGuard() = default;
bool MappedInputGuard::Watch(const void*, size_t) { return false; }
void MappedInputGuard::Unwatch(const void*) {}
bool MappedInputGuard::Damaged(const void*) const { return false; }
#else
namespace {

// What the handler reads: the watched range, set while a mapping is watched.
std::atomic<uintptr_t> gWatchedBegin{0};
std::atomic<uintptr_t> gWatchedEnd{0};
volatile sig_atomic_t gWatchedDamaged = 0;
uintptr_t gPageSize = 4096;
struct sigaction gPreviousBusHandling;
std::atomic<bool> gInstalled{false};

void OnBusError(int signal, siginfo_t* info, void* context) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (address >= gWatchedBegin.load() && address < gWatchedEnd.load()) {
    void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
    if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      gWatchedDamaged = 1;
      return;
    }
  }
  ::sigaction(SIGBUS, &gPreviousBusHandling, nullptr);
  if (gPreviousBusHandling.sa_flags & SA_SIGINFO) {
    if (gPreviousBusHandling.sa_sigaction) gPreviousBusHandling.sa_sigaction(signal, info, context);
  }
  // Otherwise returning runs the faulting access again under the previous handling.
}

}  // namespace

MappedInputGuard::MappedInputGuard() {
  [[maybe_unused]] const bool first = !gInstalled.exchange(true);
  assert(first && "one MappedInputGuard at a time");
  gPageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  struct sigaction handling {};
  handling.sa_sigaction = OnBusError;
  handling.sa_flags = SA_SIGINFO;
  sigemptyset(&handling.sa_mask);
  ::sigaction(SIGBUS, &handling, &gPreviousBusHandling);
}

MappedInputGuard::~MappedInputGuard() {
  ::sigaction(SIGBUS, &gPreviousBusHandling, nullptr);
  gWatchedBegin.store(0);
  gWatchedEnd.store(0);
  gInstalled.store(false);
}

bool MappedInputGuard::Watch(const void* begin, size_t bytes) {
  uintptr_t none = 0;
  const uintptr_t at = reinterpret_cast<uintptr_t>(begin);
  if (!gWatchedEnd.compare_exchange_strong(none, at + bytes)) return false;
  gWatchedDamaged = 0;
  gWatchedBegin.store(at);
  return true;
}

void MappedInputGuard::Unwatch(const void* begin) {
  if (gWatchedBegin.load() != reinterpret_cast<uintptr_t>(begin)) return;
  gWatchedBegin.store(0);
  gWatchedEnd.store(0);
}

bool MappedInputGuard::Damaged(const void* begin) const {
  return gWatchedBegin.load() == reinterpret_cast<uintptr_t>(begin) && gWatchedDamaged != 0;
}
#endif

}  // namespace asg::cli
