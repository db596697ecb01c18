#include "run_process.h"

#include <fstream>
#include <iterator>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
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

// The write end of a pipe whose read end is already closed.
HANDLE BrokenPipe() {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return INVALID_HANDLE_VALUE;
  CloseHandle(read);
  return write;
}
#endif

}  // namespace

void ChildProcess::NameOutputFiles(const fs::path& scratch) {
  // New names for every run: under Wine a file just written by a child that
  // has exited may still be held open for a moment.
  static int runs = 0;
  ++runs;
  outFile_ = scratch / ("stdout" + std::to_string(runs) + ".txt");
  errFile_ = scratch / ("stderr" + std::to_string(runs) + ".txt");
}

#ifdef _WIN32
ChildProcess::ChildProcess(const fs::path& program, const std::vector<fs::path>& args, const fs::path& scratch,
                           const ProcessOptions& options) {
  std::wstring commandLine = Quote(program.native());
  for (const fs::path& arg : args) commandLine += L" " + Quote(arg.native());
  Start(std::move(commandLine), {}, scratch, options);
}

ChildProcess::ChildProcess(std::wstring commandLine, const fs::path& folder, const fs::path& scratch) {
  Start(std::move(commandLine), folder, scratch, {});
}

void ChildProcess::Start(std::wstring commandLine, const fs::path& folder, const fs::path& scratch,
                         const ProcessOptions& options) {
  NameOutputFiles(scratch);
  HANDLE out = CreateInheritable(outFile_);
  HANDLE err = options.stderrToClosedPipe ? BrokenPipe() : CreateInheritable(errFile_);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    process_ = process.hProcess;
  }
  CloseHandle(out);
  CloseHandle(err);
}
#else
ChildProcess::ChildProcess(const fs::path& program, const std::vector<fs::path>& args, const fs::path& scratch,
                           const ProcessOptions& options) {
  NameOutputFiles(scratch);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const fs::path& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** e = environ; *e; ++e) envp.push_back(*e);
  for (const std::string& e : options.environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int pipeEnds[2] = {-1, -1};
  if (options.stderrToClosedPipe && pipe2(pipeEnds, O_CLOEXEC) == 0) {
    close(pipeEnds[0]);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  if (pipeEnds[1] >= 0) close(pipeEnds[1]);
}
#endif

ChildProcess::~ChildProcess() {
  if (started() && !waited_) {
    Kill();
    Wait();
  }
#ifdef _WIN32
  if (process_) CloseHandle(static_cast<HANDLE>(process_));
#endif
}

#ifdef _WIN32
bool ChildProcess::started() const { return process_ != nullptr; }

void ChildProcess::Kill() {
  if (process_) TerminateProcess(static_cast<HANDLE>(process_), 9);
}

ProcessResult ChildProcess::Wait(std::chrono::seconds limit) {
  ProcessResult result;
  if (!process_ || waited_) return result;
  waited_ = true;
  HANDLE process = static_cast<HANDLE>(process_);
  if (WaitForSingleObject(process, static_cast<DWORD>(limit.count() * 1000)) != WAIT_OBJECT_0) {
    result.timedOut = true;
    TerminateProcess(process, 9);
    WaitForSingleObject(process, INFINITE);
  } else {
    DWORD code = 0;
    if (GetExitCodeProcess(process, &code)) result.exitCode = static_cast<int>(code);
  }
  result.out = Slurp(outFile_);
  result.err = Slurp(errFile_);
  return result;
}
#else
bool ChildProcess::started() const { return pid_ > 0; }

void ChildProcess::Signal(int signal) {
  if (pid_ > 0 && !waited_) kill(pid_, signal);
}

void ChildProcess::Kill() { Signal(SIGKILL); }

ProcessResult ChildProcess::Wait(std::chrono::seconds limit) {
  ProcessResult result;
  if (pid_ <= 0 || waited_) return result;
  waited_ = true;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  pid_t ended = 0;
  while ((ended = waitpid(pid_, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (ended == 0) {
    result.timedOut = true;
    kill(pid_, SIGKILL);
    ended = waitpid(pid_, &status, 0);
  }
  if (ended == pid_) {
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  }
  result.out = Slurp(outFile_);
  result.err = Slurp(errFile_);
  return result;
}
#endif

ProcessResult RunProcess(const fs::path& program, const std::vector<fs::path>& args, const fs::path& scratch,
                         const ProcessOptions& options) {
  return ChildProcess(program, args, scratch, options).Wait();
}

#ifdef _WIN32
ProcessResult RunInCommandShell(const std::wstring& commandLine, const fs::path& folder, const fs::path& scratch) {
  // /s: the line between the outer quotes runs exactly as typed.
  return ChildProcess(L"cmd.exe /s /c \"" + commandLine + L"\"", folder, scratch).Wait();
}
#endif

}  // namespace asg::test
