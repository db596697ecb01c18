#include "cli/interruption.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace asg::cli {
namespace {

const Console* gConsole = nullptr;
const Tally* gTally = nullptr;
TemporaryFiles* gTemporaryFiles = nullptr;
bool gBatch = false;

#ifndef _WIN32
// The signal mask of a thread before it held the temporary files.
thread_local sigset_t tMaskBeforeHold;
#endif

size_t Append(char* text, size_t at, size_t room, const char* part) {
  while (*part && at + 1 < room) text[at++] = *part++;
  text[at] = 0;
  return at;
}

size_t AppendNumber(char* text, size_t at, size_t room, size_t n) {
  char digits[24];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  while (count > 0 && at + 1 < room) text[at++] = digits[--count];
  text[at] = 0;
  return at;
}

// Everything here may run in a signal handler: no allocation, no locks
// beyond those TemporaryFiles documents.
void EndRun() {
  if (gTemporaryFiles) gTemporaryFiles->RemoveAll();
  if (!gConsole) return;
  gConsole->WriteNow("xbm2bmp: interrupted\n");
  if (gBatch) {
    char line[128] = "xbm2bmp: ";
    char summary[96];
    SummaryText(*gTally, summary);
    size_t length = Append(line, 9, sizeof(line), summary);
    length = Append(line, length, sizeof(line), "\n");
    gConsole->WriteNow({line, length});
  }
}

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  EndRun();
  // At once: the main thread may hold any lock of the runtime.
  TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
  return TRUE;
}
#else
void OnSignal(int signal) {
  EndRun();
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  sigaction(signal, &byDefault, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);  // not reached: the signal ends the process
}
#endif

}  // namespace

TemporaryFiles::~TemporaryFiles() {
#ifdef _WIN32
  // Only where the process did not end after RemoveAll, on RemoveAll's thread.
  if (removed_) lock_.unlock();
#endif
  for (auto& slot : names_) delete[] slot.exchange(nullptr);
  for (auto& slot : removedNames_) delete[] slot.exchange(nullptr);
}

void TemporaryFiles::Hold() {
#ifdef _WIN32
  lock_.lock();
#else
  sigset_t cleanupSignals;
  sigemptyset(&cleanupSignals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&cleanupSignals, signal);
  pthread_sigmask(SIG_BLOCK, &cleanupSignals, &tMaskBeforeHold);
#endif
}

void TemporaryFiles::Release() {
#ifdef _WIN32
  lock_.unlock();
#else
  pthread_sigmask(SIG_SETMASK, &tMaskBeforeHold, nullptr);
#endif
}

int TemporaryFiles::Remember(const std::filesystem::path& name) {
  const auto& text = name.native();
  auto* copy = new PathChar[text.size() + 1];
  std::copy(text.begin(), text.end(), copy);
  copy[text.size()] = 0;
  for (int slot = 0; slot < kSlots; ++slot) {
    PathChar* empty = nullptr;
    if (names_[slot].compare_exchange_strong(empty, copy)) return slot;
  }
  delete[] copy;
  return -1;
}

void TemporaryFiles::Forget(int slot) { delete[] names_[slot].exchange(nullptr); }

void TemporaryFiles::RemoveAll() {
#ifdef _WIN32
  // Kept: the process is about to end, and no writer may name a file after this.
  lock_.lock();
  removed_ = true;
#endif
  for (int slot = 0; slot < kSlots; ++slot) {
    PathChar* name = names_[slot].exchange(nullptr);
    if (!name) continue;
#ifdef _WIN32
    DeleteFileW(name);
#else
    ::unlink(name);
#endif
    PathChar* none = nullptr;
    removedNames_[slot].compare_exchange_strong(none, name);  // else kept by the ending process
  }
}

size_t SummaryText(const Tally& tally, char (&text)[96]) {
  size_t at = AppendNumber(text, 0, sizeof(text), tally.converted.load());
  at = Append(text, at, sizeof(text), " converted, ");
  at = AppendNumber(text, at, sizeof(text), tally.failed.load());
  at = Append(text, at, sizeof(text), " failed, ");
  at = AppendNumber(text, at, sizeof(text), tally.skipped.load());
  return Append(text, at, sizeof(text), " skipped");
}

void EndRunOnInterruption(const Console& console, const Tally& tally, bool batch, TemporaryFiles& temporaryFiles) {
  gConsole = &console;
  gTally = &tally;
  gBatch = batch;
  gTemporaryFiles = &temporaryFiles;
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
  for (int signal : {SIGPIPE, SIGXFSZ}) ::signal(signal, SIG_IGN);
  struct sigaction handling {};
  handling.sa_handler = OnSignal;
  sigemptyset(&handling.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&handling.sa_mask, signal);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &handling, nullptr);
  }
#endif
}

}  // namespace asg::cli
