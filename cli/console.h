#pragma once
// Messages of xbm2bmp on stderr: problems, notes, batch progress and the summary.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace asg::cli {

// Text of a path for messages, in UTF-8.
std::string DisplayName(const std::filesystem::path& path);

class Console {
 public:
  // `total`: the number of inputs, for the "done/total" progress, which is
  // shown only when asked for and stderr is a terminal.
  Console(size_t total, bool wantProgress);

  // "xbm2bmp: NAME: text"
  void Message(const std::filesystem::path& name, std::string_view text);
  // "xbm2bmp: text"
  void Message(std::string_view text);
  void Progress(size_t done);
  // For a handler that ends the process: clears the progress and writes
  // `ascii` at once, without allocating or taking a lock. Failures to write,
  // such as a closed pipe, are ignored.
  void WriteNow(std::string_view ascii) const noexcept;

 private:
  void Write(std::string_view utf8);
  void ClearProgress();

  size_t total_;
  bool showProgress_;
  std::atomic<size_t> progressWidth_{0};  // characters of the progress text on screen now
};

}  // namespace asg::cli
