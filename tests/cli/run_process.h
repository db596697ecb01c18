#pragma once
// Starts a program, waits for it and collects its exit status and output.

#include <filesystem>
#include <string>
#include <vector>

namespace asg::test {

struct ProcessResult {
  int exitCode = -1;  // -1 when the program could not be started or did not exit normally
  std::string out;    // what it wrote to stdout
  std::string err;    // what it wrote to stderr
};

// `scratch` is a folder that receives the captured output, two files per run.
ProcessResult RunProcess(const std::filesystem::path& program, const std::vector<std::filesystem::path>& args,
                         const std::filesystem::path& scratch);

#ifdef _WIN32
// Runs `commandLine` with the command shell (cmd /c) in `folder`, as a user
// types it at the prompt: the shell hands wildcards on unexpanded.
ProcessResult RunInCommandShell(const std::wstring& commandLine, const std::filesystem::path& folder,
                                const std::filesystem::path& scratch);
#endif

}  // namespace asg::test
