#pragma once
// Starts a program, waits for it and collects its exit status and output.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace asg::test {

struct ProcessResult {
  int exitCode = -1;      // -1 when the program could not be started or did not exit normally
  int signal = 0;         // the signal that ended it (POSIX), else 0
  bool timedOut = false;  // it did not end in time and was killed
  std::string out;        // what it wrote to stdout
  std::string err;        // what it wrote to stderr
};

struct ProcessOptions {
  bool stderrToClosedPipe = false;        // every write to stderr fails with a broken pipe
  std::vector<std::string> environment;   // NAME=value entries added to the inherited ones (POSIX)
};

// A running child; the destructor kills it if it still runs.
class ChildProcess {
 public:
  // `scratch` is a folder that receives the captured output, two files per run.
  ChildProcess(const std::filesystem::path& program, const std::vector<std::filesystem::path>& args,
               const std::filesystem::path& scratch, const ProcessOptions& options = {});
#ifdef _WIN32
  // Runs `commandLine` as it stands in `folder` (empty: this process's current folder).
  ChildProcess(std::wstring commandLine, const std::filesystem::path& folder, const std::filesystem::path& scratch);
#endif
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const;
#ifndef _WIN32
  void Signal(int signal);
#endif
  void Kill();
  // Waits until it ends, at most `limit`: a child that hangs is killed and
  // reported as timed out instead of stalling the tests.
  ProcessResult Wait(std::chrono::seconds limit = std::chrono::seconds(120));

 private:
  void NameOutputFiles(const std::filesystem::path& scratch);
#ifdef _WIN32
  void Start(std::wstring commandLine, const std::filesystem::path& folder, const std::filesystem::path& scratch,
             const ProcessOptions& options);
#endif

  std::filesystem::path outFile_;
  std::filesystem::path errFile_;
#ifdef _WIN32
  void* process_ = nullptr;
#else
  int pid_ = -1;
#endif
  bool waited_ = false;
};

// Starts the program and waits for it.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::filesystem::path>& args,
                         const std::filesystem::path& scratch, const ProcessOptions& options = {});

#ifdef _WIN32
// Runs `commandLine` with the command shell (cmd /c) in `folder`, as a user
// types it at the prompt: the shell hands wildcards on unexpanded.
ProcessResult RunInCommandShell(const std::wstring& commandLine, const std::filesystem::path& folder,
                                const std::filesystem::path& scratch);
#endif

}  // namespace asg::test
