#include "cli/console.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace asg::cli {
namespace {

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

// Never throws: on Windows a name that is not valid UTF-16 (an unpaired
// surrogate, which the file system allows) gets U+FFFD in its place.
std::string DisplayName(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
#else
  return path.native();
#endif
}

Console::Console(size_t total, bool wantProgress)
    : total_(total), showProgress_(wantProgress && StderrIsTerminal()) {}

void Console::Message(const std::filesystem::path& name, std::string_view text) {
  Message(DisplayName(name) + ": " + std::string(text));
}

void Console::Message(std::string_view text) {
  ClearProgress();
  std::string line = "xbm2bmp: ";
  line += text;
  line += '\n';
  Write(line);
}

void Console::Progress(size_t done) {
  if (!showProgress_) return;
  std::string text(1, '\r');
  text += std::to_string(done);
  text += '/';
  text += std::to_string(total_);
  progressWidth_ = text.size() - 1;
  Write(text);
}

void Console::ClearProgress() {
  if (progressWidth_ == 0) return;
  std::string blank(progressWidth_ + 2, ' ');
  blank.front() = blank.back() = '\r';
  Write(blank);
  progressWidth_ = 0;
}

namespace {

void WriteStderrNow(const char* bytes, size_t count) noexcept {
#ifdef _WIN32
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(err, &mode)) {
    WriteConsoleA(err, bytes, static_cast<DWORD>(count), &written, nullptr);
  } else {
    WriteFile(err, bytes, static_cast<DWORD>(count), &written, nullptr);
  }
#else
  while (count > 0) {
    const ssize_t n = ::write(STDERR_FILENO, bytes, count);
    if (n <= 0) return;
    bytes += n;
    count -= static_cast<size_t>(n);
  }
#endif
}

}  // namespace

void Console::WriteNow(std::string_view ascii) const noexcept {
  if (const size_t width = progressWidth_.load()) {
    char blank[64];
    const size_t shown = width + 2 < sizeof(blank) ? width + 2 : sizeof(blank);
    for (size_t i = 0; i < shown; ++i) blank[i] = ' ';
    blank[0] = blank[shown - 1] = '\r';
    WriteStderrNow(blank, shown);
  }
  WriteStderrNow(ascii.data(), ascii.size());
}

// A Windows console shows UTF-16 text whatever its code page; pipes and files get UTF-8.
void Console::Write(std::string_view utf8) {
#ifdef _WIN32
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(err, &mode)) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    DWORD written = 0;
    WriteConsoleW(err, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
#endif
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

}  // namespace asg::cli
