#pragma once
// How xbm2bmp ends when it is interrupted, and the signals it does not die of.

#include <atomic>
#include <cstddef>

#include "cli/console.h"

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

// From here on SIGINT, SIGTERM and SIGHUP (on Windows Ctrl+C, Ctrl+Break and
// closing the console) end the run at once: the temporary file of the output
// being written is removed, "interrupted" and, for a batch, the summary line
// are written to stderr, and the process ends as the signal ends a process
// (on Windows with STATUS_CONTROL_C_EXIT), so that a calling script stops too.
// A signal that was ignored when the program started stays ignored.
// SIGPIPE and SIGXFSZ are ignored: a closed stderr or a file size limit then
// fails that one write instead of ending the run.
void EndRunOnInterruption(const Console& console, const Tally& tally, bool batch);

}  // namespace asg::cli
