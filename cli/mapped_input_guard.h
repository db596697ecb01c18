#pragma once
// Reading a mapped input that another program cuts short meanwhile raises
// SIGBUS on the pages past its new end. While a MappedInputGuard lives, the
// fault within the one mapping it watches puts a zero page in the place of
// the lost one and notes it, so that the reader finishes and then fails that
// file instead of crashing; faults anywhere else keep the handling the
// process had before.

#include <cstddef>

#include "conversion/file_io.h"

namespace asg::cli {

// One at a time in the process: the handler is the process's.
class MappedInputGuard final : public MappingGuard {
 public:
  MappedInputGuard();
  ~MappedInputGuard() override;
  MappedInputGuard(const MappedInputGuard&) = delete;
  MappedInputGuard& operator=(const MappedInputGuard&) = delete;

  // One mapping at a time: false while another is watched (it is then read).
  bool Watch(const void* begin, size_t bytes) override;
  void Unwatch(const void* begin) override;
  bool Damaged(const void* begin) const override;
};

}  // namespace asg::cli
