#include "conversion/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace asg {
namespace {

#ifdef _WIN32
unsigned ProcessId() { return static_cast<unsigned>(GetCurrentProcessId()); }

// Short English texts for the failures a user can act on; others by number.
std::string SystemErrorText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PIPE_BUSY:
      return "In use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_FILENAME_EXCED_RANGE:
      return "File name too long";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    default:
      return "Windows error " + std::to_string(error);
  }
}
std::string LastErrorText() { return SystemErrorText(GetLastError()); }

const char* FileTypeText(DWORD type) {
  switch (type) {
    case FILE_TYPE_CHAR:
      return "is a device, not a regular file";
    case FILE_TYPE_PIPE:
      return "is a pipe, not a regular file";
    default:
      return "is not a regular file";
  }
}
#else
unsigned ProcessId() { return static_cast<unsigned>(::getpid()); }

std::string ErrnoText(int error) { return std::strerror(error); }

const char* FileKindText(mode_t mode) {
  if (S_ISDIR(mode)) return "is a folder";
  if (S_ISFIFO(mode)) return "is a FIFO, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
  if (S_ISSOCK(mode)) return "is a socket, not a regular file";
  return "is not a regular file";
}
#endif

// Holds `names` (when there are any) for the life of the object.
class Held {
 public:
  explicit Held(TemporaryNames* names) : names_(names) {
    if (names_) names_->Hold();
  }
  ~Held() {
    if (names_) names_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  TemporaryNames* names_;
};

// ".asg<pid>-<n>.tmp" beside the target: the same folder, so the final rename
// never crosses a volume, and short, so that any name the folder takes as the
// target's can be written.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::string name = ".asg" + std::to_string(ProcessId()) + '-' + std::to_string(counter++) + ".tmp";
  return target.parent_path() / std::filesystem::path(name);
}

bool IsFolder(const std::filesystem::path& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(path, ignored);
}

constexpr size_t kLargestIo = 1u << 30;  // bytes per read or write call

}  // namespace

InputFile::~InputFile() { Close(); }

#ifdef _WIN32
std::string InputFile::Open(const std::filesystem::path& path) {
  Close();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "is a folder";
    return "cannot be opened: " + SystemErrorText(error);
  }
  // Consoles, printers and pipes open like files, but a read may wait forever.
  const DWORD type = GetFileType(h);
  BY_HANDLE_FILE_INFORMATION info{};
  std::string reason;
  if (type != FILE_TYPE_DISK) {
    reason = FileTypeText(type);
  } else if (!GetFileInformationByHandle(h, &info)) {
    reason = "cannot be read: " + LastErrorText();
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    reason = "is a folder";
  }
  if (!reason.empty()) {
    CloseHandle(h);
    return reason;
  }
  handle_ = h;
  size_ = uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
  return {};
}

std::string InputFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) const {
  size_t done = 0;
  while (done < bytes.size()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kLargestIo));
    if (!ReadFile(static_cast<HANDLE>(handle_), bytes.data() + done, want, &n, &at)) {
      if (GetLastError() != ERROR_HANDLE_EOF) return "cannot be read: " + LastErrorText();
      n = 0;
    }
    if (n == 0) return "cannot be read: the file was cut short";
    done += n;
  }
  return {};
}

void InputFile::Close() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  size_ = 0;
}
#else
std::string InputFile::Open(const std::filesystem::path& path) {
  Close();
  // Looked at before opening: opening a FIFO waits for a writer, and opening
  // a device may do something to it.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return "cannot be opened: " + ErrnoText(errno);
  if (!S_ISREG(st.st_mode)) return FileKindText(st.st_mode);
  // Non-blocking all the same, in case the name now leads elsewhere.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return "cannot be opened: " + ErrnoText(errno);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = errno;
    ::close(fd);
    return S_ISREG(st.st_mode) ? "cannot be read: " + ErrnoText(error) : FileKindText(st.st_mode);
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(st.st_size);
  return {};
}

std::string InputFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) const {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd_, bytes.data() + done, std::min(bytes.size() - done, kLargestIo),
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return "cannot be read: " + ErrnoText(errno);
    if (n == 0) return "cannot be read: the file was cut short";
    done += static_cast<size_t>(n);
  }
  return {};
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}
#endif

std::string ReadFilePrefix(const InputFile& file, uint64_t count, std::vector<uint8_t>& bytes) {
  bytes.clear();
  count = std::min(count, file.size());
  if (count > bytes.max_size()) return "cannot be read: too large for this system";
  try {
    bytes.resize(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    return "cannot be read: out of memory";
  }
  std::string reason = file.ReadAt(0, bytes);
  if (!reason.empty()) bytes.clear();
  return reason;
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  InputFile file;
  return file.Open(path).empty() && ReadFilePrefix(file, file.size(), bytes).empty();
}

FileContent::~FileContent() { Unmap(); }

void FileContent::Unmap() {
#ifndef _WIN32
  if (mapped_) {
    guard_->Unwatch(mapped_);
    ::munmap(mapped_, mappedBytes_);
  }
#endif
  mapped_ = nullptr;
  mappedBytes_ = 0;
  bytes_ = {};
}

void FileContent::Clear() {
  Unmap();
  constexpr size_t kKeptBufferBytes = 16u << 20;
  if (buffer_.capacity() > kKeptBufferBytes) std::vector<uint8_t>().swap(buffer_);
}

bool FileContent::Intact() const { return !mapped_ || !guard_->Damaged(mapped_); }

void FileContent::ReleasePages() {
#ifndef _WIN32
  if (mapped_) ::madvise(mapped_, mappedBytes_, MADV_DONTNEED);
#endif
}

std::string FileContent::Load(InputFile& file, uint64_t count) {
  Unmap();
#ifdef _WIN32
  if (!file.handle_) return "cannot be read: not open";
#else
  if (file.fd_ < 0) return "cannot be read: not open";
#endif
  count = std::min(count, file.size());
#ifndef _WIN32
  // Small files are cheaper to read than to map and unmap. Pages are mapped
  // as they are first read, not ahead: a reader that touches little of a
  // large file pays for little.
  constexpr uint64_t kMapFrom = 1 << 20;
  if (guard_ && count >= kMapFrom && count <= SIZE_MAX) {
    void* mapped = ::mmap(nullptr, static_cast<size_t>(count), PROT_READ, MAP_PRIVATE, file.fd_, 0);
    if (mapped != MAP_FAILED && guard_->Watch(mapped, static_cast<size_t>(count))) {
      file.Close();
      mapped_ = mapped;
      mappedBytes_ = static_cast<size_t>(count);
      bytes_ = {static_cast<const uint8_t*>(mapped), mappedBytes_};
      return {};
    }
    if (mapped != MAP_FAILED) ::munmap(mapped, static_cast<size_t>(count));
  }
#endif
  std::string reason = ReadFilePrefix(file, count, buffer_);
  file.Close();
  if (reason.empty()) bytes_ = buffer_;
  return reason;
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
#ifdef _WIN32
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  if (!known) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
#else
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
#endif
}

std::optional<FileIdentity> EntryIdentityOf(const std::filesystem::path& path) {
#ifdef _WIN32
  return IdentityOf(path);
#else
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
#endif
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

void AtomicFileWriter::RememberTemporary(const std::filesystem::path& temp) {
  temp_ = temp;
  slot_ = names_ ? names_->Remember(temp) : -1;
}

void AtomicFileWriter::ForgetTemporary() {
  if (names_ && slot_ >= 0) names_->Forget(slot_);
  slot_ = -1;
  temp_.clear();
}

#ifdef _WIN32
void AtomicFileWriter::Discard() {
  Held held(names_);
  // Closing a file marked for deletion deletes it.
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  if (!temp_.empty()) {
    DeleteFileW(temp_.c_str());
    ForgetTemporary();
  }
}

namespace {
bool MarkForDeletion(HANDLE h, bool deleteOnClose) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleteOnClose;
  return SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof(disposition));
}
}  // namespace

std::string AtomicFileWriter::Create(const std::filesystem::path& target) {
  Discard();
  target_ = target;
  if (IsFolder(target)) return "is a folder";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path temp = TemporaryNameBeside(target);
    DWORD error = 0;
    {
      Held held(names_);
      // Sharing deletion lets a removal on Ctrl+C delete it while it is open.
      HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) {
        error = GetLastError();
      } else {
        handle_ = h;
        RememberTemporary(temp);
      }
    }
    if (handle_) {
      // Deleted by the system when the process ends before Commit, however it ends.
      MarkForDeletion(static_cast<HANDLE>(handle_), true);
      return {};
    }
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
      return "cannot create a file in the output folder: " + SystemErrorText(error);
  }
  return "cannot create a temporary file in the output folder";
}

std::string AtomicFileWriter::Write(std::span<const uint8_t> bytes) {
  if (!handle_) return "cannot write: no file";
  for (size_t done = 0; done < bytes.size();) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kLargestIo));
    if (!WriteFile(static_cast<HANDLE>(handle_), bytes.data() + done, want, &n, nullptr) || n == 0) {
      const std::string reason = "cannot write: " + LastErrorText();
      Discard();
      return reason;
    }
    done += n;
  }
  return {};
}

std::string AtomicFileWriter::Commit() {
  if (!handle_) return "cannot write: no file";
  std::string reason;
  HANDLE h = static_cast<HANDLE>(handle_);
  if (flush_ == Flush::ToDisk && !FlushFileBuffers(h)) reason = "cannot write: " + LastErrorText();
  if (reason.empty()) {
    Held held(names_);
    if (!MarkForDeletion(h, false)) {
      reason = "cannot write: " + LastErrorText();
    } else {
      CloseHandle(h);
      handle_ = nullptr;
      const DWORD how = MOVEFILE_REPLACE_EXISTING | (flush_ == Flush::ToDisk ? MOVEFILE_WRITE_THROUGH : 0);
      if (!MoveFileExW(temp_.c_str(), target_.c_str(), how)) {
        reason = "cannot replace the output file: " + LastErrorText();
      } else {
        ForgetTemporary();
      }
    }
  }
  Discard();
  return reason;
}

#else
namespace {

// Unnamed files are given their name through /proc; without /proc they
// cannot be, so the named way is taken from the start.
bool CanNameUnnamedFiles() {
#ifdef O_TMPFILE
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
#else
  return false;
#endif
}

std::string FlushFolder(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return "cannot write the folder to disk: " + ErrnoText(errno);
  const bool flushed = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  return flushed ? "" : "cannot write the folder to disk: " + ErrnoText(error);
}

// Returns 0 or the errno value of the failure.
int WriteAll(int fd, std::span<const uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(bytes.size() - done, kLargestIo));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

void AtomicFileWriter::Discard() {
  if (!temp_.empty()) {
    Held held(names_);
    ::unlink(temp_.c_str());
    ForgetTemporary();
  }
  // An unnamed file ends with its descriptor.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string AtomicFileWriter::Create(const std::filesystem::path& target) {
  Discard();
  target_ = target;
  if (IsFolder(target)) return "is a folder";
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
#ifdef O_TMPFILE
  if (CanNameUnnamedFiles()) {
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) return {};
    // Old kernels take O_TMPFILE for O_DIRECTORY and fail with EISDIR.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
      return "cannot create a file in the output folder: " + ErrnoText(errno);
  }
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path temp = TemporaryNameBeside(target);
    Held held(names_);
    fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      RememberTemporary(temp);
      return {};
    }
    if (errno != EEXIST) return "cannot create a file in the output folder: " + ErrnoText(errno);
  }
  return "cannot create a temporary file in the output folder";
}

std::string AtomicFileWriter::Write(std::span<const uint8_t> bytes) {
  if (fd_ < 0) return "cannot write: no file";
  if (const int error = WriteAll(fd_, bytes)) {
    Discard();
    return "cannot write: " + ErrnoText(error);
  }
  return {};
}

// Links the unnamed file in as the target when there is none yet (then no
// other name ever exists), else under a temporary name for the rename, which
// temp_ then holds. Returns an empty string or why not.
std::string AtomicFileWriter::NameTemporary() {
  char self[32];
  std::snprintf(self, sizeof(self), "/proc/self/fd/%d", fd_);
  if (::linkat(AT_FDCWD, self, AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
  if (errno != EEXIST) return "cannot create the output file: " + ErrnoText(errno);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path temp = TemporaryNameBeside(target_);
    Held held(names_);
    if (::linkat(AT_FDCWD, self, AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      RememberTemporary(temp);
      return {};
    }
    if (errno != EEXIST) return "cannot create a file in the output folder: " + ErrnoText(errno);
  }
  return "cannot create a temporary file in the output folder";
}

std::string AtomicFileWriter::Commit() {
  if (fd_ < 0) return "cannot write: no file";
  std::string reason;
  if (flush_ == Flush::ToDisk && ::fsync(fd_) != 0) reason = "cannot write: " + ErrnoText(errno);
  const bool unnamed = temp_.empty();
  if (reason.empty() && unnamed) reason = NameTemporary();
  // A named file is closed before it takes the target's place: some file
  // systems report a failed write only at the close.
  if (reason.empty() && !unnamed && ::close(std::exchange(fd_, -1)) != 0) reason = "cannot write: " + ErrnoText(errno);
  if (reason.empty() && !temp_.empty()) {
    Held held(names_);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
      reason = "cannot replace the output file: " + ErrnoText(errno);
    } else {
      ForgetTemporary();
    }
  }
  if (reason.empty() && flush_ == Flush::ToDisk) reason = FlushFolder(target_);
  Discard();
  return reason;
}

#endif

std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                                AtomicFileWriter::Flush flush, TemporaryNames* names) {
  AtomicFileWriter file(flush, names);
  std::string reason = file.Create(target);
  if (reason.empty()) reason = file.Write(bytes);
  if (reason.empty()) reason = file.Commit();
  return reason;
}

}  // namespace asg
