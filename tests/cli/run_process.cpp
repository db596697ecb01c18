#include "run_process.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace asg::test {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#ifdef _WIN32
// Quotes one argument so that the program's startup code splits it back unchanged.
std::wstring Quote(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
    } else {
      if (c == L'"') quoted.append(backslashes + 1, L'\\');
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, L'\\');
  return quoted + L"\"";
}

HANDLE CreateInheritable(const fs::path& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// Runs `commandLine` in `folder` (empty: this process's current folder).
int LaunchCommandLine(std::wstring commandLine, const fs::path& folder, const fs::path& outFile,
                      const fs::path& errFile) {
  HANDLE out = CreateInheritable(outFile);
  HANDLE err = CreateInheritable(errFile);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  int exitCode = -1;
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  return exitCode;
}

int Launch(const fs::path& program, const std::vector<fs::path>& args, const fs::path& outFile,
           const fs::path& errFile) {
  std::wstring commandLine = Quote(program.native());
  for (const fs::path& arg : args) commandLine += L" " + Quote(arg.native());
  return LaunchCommandLine(std::move(commandLine), {}, outFile, errFile);
}
#else
int Launch(const fs::path& program, const std::vector<fs::path>& args, const fs::path& outFile,
           const fs::path& errFile) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const fs::path& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
#endif

// Runs `launch` with two output files of its own and collects what it wrote.
ProcessResult Collect(const fs::path& scratch, const std::function<int(const fs::path&, const fs::path&)>& launch) {
  // New names for every run: under Wine a file just written by a child that
  // has exited may still be held open for a moment.
  static int runs = 0;
  ++runs;
  const fs::path outFile = scratch / ("stdout" + std::to_string(runs) + ".txt");
  const fs::path errFile = scratch / ("stderr" + std::to_string(runs) + ".txt");
  ProcessResult result;
  result.exitCode = launch(outFile, errFile);
  result.out = Slurp(outFile);
  result.err = Slurp(errFile);
  return result;
}

}  // namespace

ProcessResult RunProcess(const fs::path& program, const std::vector<fs::path>& args, const fs::path& scratch) {
  return Collect(scratch, [&](const fs::path& out, const fs::path& err) { return Launch(program, args, out, err); });
}

#ifdef _WIN32
ProcessResult RunInCommandShell(const std::wstring& commandLine, const fs::path& folder, const fs::path& scratch) {
  // /s: the line between the outer quotes runs exactly as typed.
  return Collect(scratch, [&](const fs::path& out, const fs::path& err) {
    return LaunchCommandLine(L"cmd.exe /s /c \"" + commandLine + L"\"", folder, out, err);
  });
}
#endif

}  // namespace asg::test
