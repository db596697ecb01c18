#pragma once
// Reading input files and safe replacement of output files, with wide paths on
// Windows.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace asg {

// A file opened for reading only when it is a regular file, and in a way that
// never blocks: a FIFO, a device, a socket or a folder is refused before any
// read. Others may read the file meanwhile but not write it (Windows).
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // An empty string, or why the file cannot be read: "is a folder", "is a
  // FIFO, not a regular file", "cannot be opened: No such file or directory".
  std::string Open(const std::filesystem::path& path);
  uint64_t size() const { return size_; }
  // Reads exactly `bytes.size()` bytes at `offset`; an empty string or why not.
  std::string ReadAt(uint64_t offset, std::span<uint8_t> bytes) const;
  void Close();

 private:
  friend class FileContent;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  uint64_t size_ = 0;
};

// Reads the first `count` bytes of an open file into `bytes` (resized to fit);
// an empty string or why not, with `bytes` then empty.
std::string ReadFilePrefix(const InputFile& file, uint64_t count, std::vector<uint8_t>& bytes);

// Reads the whole file. Returns false (and leaves `bytes` empty) when it is
// not a regular file or cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes);

// Watches the memory of mapped files for the faults that reading it raises
// once another program has cut the file short, so that the reader finishes
// and then fails that file instead of crashing. Only a program that owns one
// has files mapped: catching the fault takes a handler for the whole process.
class MappingGuard {
 public:
  virtual ~MappingGuard() = default;
  // Starts watching `bytes` at `begin`; false when it cannot now (the file is
  // then read instead). From here on, a lost page of it reads as zeros.
  virtual bool Watch(const void* begin, size_t bytes) = 0;
  // Stops watching the memory at `begin`.
  virtual void Unwatch(const void* begin) = 0;
  // Whether the memory watched from `begin` lost a page.
  virtual bool Damaged(const void* begin) const = 0;
};

// The first bytes of a file, for reading. With a MappingGuard, large ones are
// mapped into memory where the system allows it (no copy: the pages come from
// the file cache); others are read in one read into a buffer that is reused
// from file to file.
class FileContent {
 public:
  explicit FileContent(MappingGuard* guard = nullptr) : guard_(guard) {}
  FileContent(const FileContent&) = delete;
  FileContent& operator=(const FileContent&) = delete;
  ~FileContent();

  // Holds the first `count` bytes of `file` (at most its size) and closes it.
  // An empty string, or why not; the content is then empty.
  std::string Load(InputFile& file, uint64_t count);
  // Empties the content. A read buffer over 16 MB is given back; a smaller
  // one is kept for the next file.
  void Clear();
  std::span<const uint8_t> bytes() const { return bytes_; }
  // False when the file was cut short by another program while it was mapped:
  // the lost part then reads as zeros, and nothing made from it may be kept.
  bool Intact() const;
  // Gives the memory of the pages read so far back to the system; they are
  // read again from the file cache when used again. So a reader that works
  // through a large file in pieces holds only the piece at hand.
  void ReleasePages();

 private:
  void Unmap();

  MappingGuard* guard_;
  std::vector<uint8_t> buffer_;
  void* mapped_ = nullptr;
  size_t mappedBytes_ = 0;
  std::span<const uint8_t> bytes_;
};

// What a path names, compared by identity rather than by spelling: the same
// file reached through other names, links or ".." has the same identity.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t file = 0;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// The file that `path` leads to, following links; none when it does not exist.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);
// The directory entry `path` itself: a final symbolic link is not followed
// (on Windows the same as IdentityOf).
std::optional<FileIdentity> EntryIdentityOf(const std::filesystem::path& path);

// Where AtomicFileWriter notes the names of its temporary files while they
// exist, for a program that removes them when it is stopped (a signal,
// Ctrl+C). Hold and Release bracket each step that creates, renames or removes
// such a file together with its note, so that a removal never runs in the
// middle of one. Several writers, on several threads, may share one.
class TemporaryNames {
 public:
  virtual ~TemporaryNames() = default;
  virtual void Hold() = 0;
  virtual void Release() = 0;
  // Called held. Returns where the name is noted, or -1 when it cannot be (the
  // file is then written and removed as usual, but not found by a removal).
  virtual int Remember(const std::filesystem::path& name) = 0;
  // Called held, with what Remember returned.
  virtual void Forget(int slot) = 0;
};

// A file written in pieces that takes the place of `target` only when it is
// complete. Each step returns an empty string on success, otherwise a short
// English reason, and after a failure the writer is done. A writer dropped
// before Commit leaves no file behind, and `target` as it was. A target that is
// a folder is refused and never moved.
//
// The data goes to a temporary file in the target's folder (the final rename
// never crosses a volume), which Commit renames over the target. What survives:
// - The process ending at any moment (a crash, a kill): the target holds its
//   old content or the whole new one. On Linux the temporary file has no name
//   until it is complete (O_TMPFILE), so the system frees it with the process;
//   a complete one can be left under a temporary name only by a kill in the
//   moment between naming it and renaming it over an existing target. Where
//   the file system has no unnamed files (FAT, some network file systems) the
//   temporary file has a name from the start, and a kill leaves it.
//   On Windows the temporary file is marked for deletion until it is complete,
//   so the system deletes it if the process dies; only a kill in the moment
//   between creating and marking it leaves an empty one, and in the moment
//   between unmarking and renaming it a complete one. Ctrl+C and
//   SIGINT, SIGTERM, SIGHUP leave nothing where the program keeps the
//   writers' TemporaryNames and removes them on those.
// - A power cut or a system crash: with Flush::ToCache, what was written in
//   the last seconds before it is at the file system's mercy: a new target may
//   be missing or empty, and a replaced one holds its old or new content where
//   the file system writes the data of a file renamed over another before the
//   rename (ext4 in its default mode, NTFS does not promise it). With
//   Flush::ToDisk, Commit returns only once the file's data and its name are on
//   the disk, so that a committed file survives a power cut whole.
class AtomicFileWriter {
 public:
  enum class Flush { ToCache, ToDisk };

  explicit AtomicFileWriter(Flush flush = Flush::ToCache, TemporaryNames* names = nullptr)
      : flush_(flush), names_(names) {}
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  std::string Create(const std::filesystem::path& target);
  std::string Write(std::span<const uint8_t> bytes);
  std::string Commit();

 private:
  void Discard();
  std::string NameTemporary();  // gives an unnamed temporary file a name
  void RememberTemporary(const std::filesystem::path& temp);  // called held
  void ForgetTemporary();                                     // called held

  Flush flush_;
  TemporaryNames* names_;
  std::filesystem::path target_;
  std::filesystem::path temp_;  // empty while the temporary file has no name
  int slot_ = -1;               // where names_ holds temp_
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// Writes `bytes` with an AtomicFileWriter in one piece.
std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                                AtomicFileWriter::Flush flush = AtomicFileWriter::Flush::ToCache,
                                TemporaryNames* names = nullptr);

}  // namespace asg
