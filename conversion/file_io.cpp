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
#include <signal.h>
#include <sys/mman.h>
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
  if (_wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _SH_DENYRW,
                _S_IREAD | _S_IWRITE) != 0)
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

#ifndef _WIN32
namespace {

// A mapped file that another program truncates while we read it raises SIGBUS
// on the pages past its new end. Within the one mapping that a FileContent
// holds, the handler puts a zero page in the place of the lost one and notes
// it, so the reader finishes and then fails that file instead of crashing.
// Faults anywhere else keep the previous handling.
std::atomic<uintptr_t> gMappedBegin{0};
std::atomic<uintptr_t> gMappedEnd{0};
volatile sig_atomic_t gMappingDamaged = 0;
uintptr_t gPageSize = 4096;
struct sigaction gPreviousBusHandling;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  if (address >= gMappedBegin.load() && address < gMappedEnd.load()) {
    void* page = reinterpret_cast<void*>(address & ~(gPageSize - 1));
    if (::mmap(page, gPageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
      gMappingDamaged = 1;
      return;
    }
  }
  ::sigaction(SIGBUS, &gPreviousBusHandling, nullptr);
  if (gPreviousBusHandling.sa_flags & SA_SIGINFO) {
    if (gPreviousBusHandling.sa_sigaction) gPreviousBusHandling.sa_sigaction(signal, info, context);
  }
  // Otherwise returning runs the faulting access again under the previous handling.
}

void WatchMappingForTruncation() {
  static const bool installed = [] {
    gPageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction handling {};
    handling.sa_sigaction = OnBusError;
    handling.sa_flags = SA_SIGINFO;
    sigemptyset(&handling.sa_mask);
    return ::sigaction(SIGBUS, &handling, &gPreviousBusHandling) == 0;
  }();
  (void)installed;
}

}  // namespace
#endif

FileContent::~FileContent() { Unmap(); }

void FileContent::Unmap() {
#ifndef _WIN32
  if (mapped_) {
    gMappedBegin.store(0);
    gMappedEnd.store(0);
    ::munmap(mapped_, mappedBytes_);
  }
#endif
  mapped_ = nullptr;
  mappedBytes_ = 0;
  bytes_ = {};
}

bool FileContent::Intact() const {
#ifndef _WIN32
  if (mapped_) return gMappingDamaged == 0;
#endif
  return true;
}

bool FileContent::Load(const std::filesystem::path& path) {
  Unmap();
#ifndef _WIN32
  // Small files are cheaper to read than to map and unmap. Only one content is
  // mapped at a time in the process, so the fault handler knows its range.
  constexpr FileSize kMapFrom = 1 << 20;
  const int fd = OpenForReading(path);
  if (fd < 0) return false;
  FileSize size = 0;
  if (!RegularFileSize(fd, size)) {
    CloseFile(fd);
    return false;
  }
  void* mapped = MAP_FAILED;
  if (size >= kMapFrom && static_cast<unsigned long long>(size) <= SIZE_MAX && gMappedEnd.load() == 0) {
    WatchMappingForTruncation();
    mapped = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  }
  CloseFile(fd);
  if (mapped != MAP_FAILED) {
    mapped_ = mapped;
    mappedBytes_ = static_cast<size_t>(size);
    bytes_ = {static_cast<const uint8_t*>(mapped), mappedBytes_};
    gMappingDamaged = 0;
    gMappedBegin.store(reinterpret_cast<uintptr_t>(mapped));
    gMappedEnd.store(reinterpret_cast<uintptr_t>(mapped) + mappedBytes_);
    return true;
  }
#endif
  if (!ReadWholeFile(path, buffer_)) return false;
  bytes_ = buffer_;
  return true;
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) CloseFile(fd_);
  fd_ = -1;
  if (!temp_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temp_, ignored);
    temp_.clear();
  }
}

std::string AtomicFileWriter::Create(const std::filesystem::path& target) {
  Discard();
  target_ = target;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    const std::filesystem::path temp = TemporaryNameBeside(target);
    fd_ = CreateNew(temp);
    if (fd_ >= 0) temp_ = temp;
    if (fd_ < 0 && errno != EEXIST) return "cannot create a file in the output folder: " + ErrnoText(errno);
  }
  if (fd_ < 0) return "cannot create a temporary file in the output folder";
  return {};
}

std::string AtomicFileWriter::Write(std::span<const uint8_t> bytes) {
  if (fd_ < 0) return "cannot write: no file";
  if (const int error = WriteAll(fd_, bytes)) {
    Discard();
    return "cannot write: " + ErrnoText(error);
  }
  return {};
}

std::string AtomicFileWriter::Commit() {
  if (fd_ < 0) return "cannot write: no file";
  const int closed = CloseFile(fd_);
  fd_ = -1;
  std::string reason;
  if (closed != 0) {
    reason = "cannot write: " + ErrnoText(errno);
  } else if (const std::error_code ec = MoveIntoPlace(temp_, target_)) {
    reason = "cannot replace the output file: " + ec.message();
  } else {
    temp_.clear();
  }
  Discard();
  return reason;
}

std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
  AtomicFileWriter file;
  std::string reason = file.Create(target);
  if (reason.empty()) reason = file.Write(bytes);
  if (reason.empty()) reason = file.Commit();
  return reason;
}

}  // namespace asg
