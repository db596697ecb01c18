#pragma once
// How xbm2bmp ends when it is interrupted, and the signals it does not die of.

#include <atomic>
#include <cstddef>
#include <filesystem>

#include "cli/console.h"
#include "conversion/file_io.h"

#ifdef _WIN32
#include <mutex>
#endif

namespace asg::cli {

// The counts of a run, also read by the interruption handler as it ends it.
struct Tally {
  std::atomic<size_t> converted{0};
  std::atomic<size_t> failed{0};
  std::atomic<size_t> skipped{0};
};

// "N converted, M failed, K skipped" into `text`, without allocating (for the
// handler); returns its length.
size_t SummaryText(const Tally& tally, char (&text)[96]);

// The names of the writers' named temporary files not yet committed, in a
// fixed set of slots that a signal handler reads without taking a lock or
// allocating. While a writer holds it, RemoveAll cannot run: on POSIX systems
// SIGINT, SIGTERM and SIGHUP are held back on the holding thread, on Windows
// the console's handler thread waits for the lock.
class TemporaryFiles final : public TemporaryNames {
 public:
  TemporaryFiles() = default;
  TemporaryFiles(const TemporaryFiles&) = delete;
  TemporaryFiles& operator=(const TemporaryFiles&) = delete;
  ~TemporaryFiles() override;

  void Hold() override;
  void Release() override;
  int Remember(const std::filesystem::path& name) override;
  void Forget(int slot) override;

  // Removes the files noted, for a process about to end on a signal or
  // Ctrl+C; may be called from a signal handler. On Windows it keeps the
  // lock, so that no writer notes or renames a file afterwards.
  void RemoveAll();

 private:
  using PathChar = std::filesystem::path::value_type;
  static constexpr int kSlots = 16;
  std::atomic<PathChar*> names_[kSlots] = {};
  // What RemoveAll took out of names_, freed only by the destructor: a
  // signal handler must not free memory.
  std::atomic<PathChar*> removedNames_[kSlots] = {};
#ifdef _WIN32
  std::mutex lock_;
  bool removed_ = false;  // RemoveAll kept lock_
#endif
};

// From here on SIGINT, SIGTERM and SIGHUP (on Windows Ctrl+C, Ctrl+Break and
// closing the console) end the run at once: the temporary files noted in
// `temporaryFiles` are removed, "interrupted" and, for a batch, the summary
// line are written to stderr, and the process ends as the signal ends a
// process (on Windows with STATUS_CONTROL_C_EXIT), so that a calling script
// stops too. A signal that was ignored when the program started stays ignored.
// SIGPIPE and SIGXFSZ are ignored: a closed stderr or a file size limit then
// fails that one write instead of ending the run.
void EndRunOnInterruption(const Console& console, const Tally& tally, bool batch, TemporaryFiles& temporaryFiles);

}  // namespace asg::cli
