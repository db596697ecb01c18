#include "conversion/file_io.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>  // renameat2
#endif

namespace asg {
namespace {

// Thin wrappers over the C runtime's descriptor calls, so that the logic below
// reads the same on both systems. Windows opens with wide paths.
#ifdef _WIN32
using FileSize = long long;

int OpenForReading(const std::filesystem::path& path) {
  int fd = -1;
  if (_wsopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYWR, 0) != 0) return -1;
  return fd;
}

int CreateNew(const std::filesystem::path& path) {
  int fd = -1;
  if (_wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _SH_DENYRW, _S_IREAD | _S_IWRITE) != 0)
    return -1;
  return fd;
}

bool RegularFileSize(int fd, FileSize& size) {
  struct _stat64 st;
  if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return false;
  size = st.st_size;
  return true;
}

long long ReadSome(int fd, uint8_t* data, size_t count) {
  return _read(fd, data, static_cast<unsigned>(count < INT_MAX ? count : INT_MAX));
}
long long WriteSome(int fd, const uint8_t* data, size_t count) {
  return _write(fd, data, static_cast<unsigned>(count < INT_MAX ? count : INT_MAX));
}
int CloseFile(int fd) { return _close(fd); }
unsigned ProcessId() { return static_cast<unsigned>(_getpid()); }
#else
using FileSize = off_t;

int OpenForReading(const std::filesystem::path& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }

int CreateNew(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

bool RegularFileSize(int fd, FileSize& size) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = st.st_size;
  return true;
}

long long ReadSome(int fd, uint8_t* data, size_t count) { return ::read(fd, data, count); }
long long WriteSome(int fd, const uint8_t* data, size_t count) { return ::write(fd, data, count); }
int CloseFile(int fd) { return ::close(fd); }
unsigned ProcessId() { return static_cast<unsigned>(::getpid()); }
#endif

// Reads until `bytes` is full or the file ends; keeps only what was read.
bool ReadInto(int fd, std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const long long n = ReadSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return true;
}

// Returns 0 or the errno value of the failure.
int WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const long long n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

std::string ErrnoText(int error) { return std::strerror(error); }

// Puts the finished temporary file in the target's place. On Linux an existing
// target is swapped out and then removed: a plain rename over an existing file
// makes ext4 write the new file out to disk before it returns, which costs more
// than the whole conversion. Either way the target always holds either the old
// or the new content, never a part.
std::error_code MoveIntoPlace(const std::filesystem::path& temp, const std::filesystem::path& target) {
  std::error_code ec;
#if defined(__linux__) && defined(RENAME_EXCHANGE)
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return ec;
  if (errno == EEXIST && ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
    if (::unlink(temp.c_str()) == 0) return ec;
    // The target was a folder: swap it back and fail as a rename would.
    const int error = errno;
    ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
    return std::error_code(error, std::generic_category());
  }
#endif
  std::filesystem::rename(temp, target, ec);
  return ec;
}

// ".name.bmp.<pid>-<n>.tmp" beside the target: the same folder, so the final
// rename never crosses a volume.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path name = ".";
  name += target.filename().native();
  std::string suffix = ".";
  suffix += std::to_string(ProcessId());
  suffix += '-';
  suffix += std::to_string(counter++);
  suffix += ".tmp";
  name += suffix;
  return target.parent_path() / name;
}

}  // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  bool ok = false;
  FileSize size = 0;
  if (RegularFileSize(fd, size) && static_cast<unsigned long long>(size) <= bytes.max_size()) {
    try {
      bytes.resize(static_cast<size_t>(size));
      ok = ReadInto(fd, bytes);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  CloseFile(fd);
  if (!ok) bytes.clear();
  return ok;
}

std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
  std::filesystem::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TemporaryNameBeside(target);
    fd = CreateNew(temp);
    if (fd < 0 && errno != EEXIST) return "cannot create a file in the output folder: " + ErrnoText(errno);
  }
  if (fd < 0) return "cannot create a temporary file in the output folder";

  std::string reason;
  if (const int error = WriteAll(fd, bytes)) reason = "cannot write: " + ErrnoText(error);
  if (CloseFile(fd) != 0 && reason.empty()) reason = "cannot write: " + ErrnoText(errno);
  if (reason.empty()) {
    const std::error_code ec = MoveIntoPlace(temp, target);
    if (!ec) return {};
    reason = "cannot replace the output file: " + ec.message();
  }
  std::error_code ignored;
  std::filesystem::remove(temp, ignored);
  return reason;
}

}  // namespace asg
