#pragma once
// Whole-file reading and safe replacement of files, with wide paths on Windows.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace asg {

// Reads the whole file in one read. Others may read it meanwhile but not write it.
// Returns false (and leaves `bytes` empty) when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes);

// The whole content of a file, for reading. Large files are mapped into memory
// where the system allows it (no copy: the pages come from the file cache);
// others are read in one read into a buffer that is reused from file to file.
class FileContent {
 public:
  FileContent() = default;
  FileContent(const FileContent&) = delete;
  FileContent& operator=(const FileContent&) = delete;
  ~FileContent();

  // False when the file cannot be opened or read; the content is then empty.
  bool Load(const std::filesystem::path& path);
  std::span<const uint8_t> bytes() const { return bytes_; }
  // False when the file was cut short by another program while it was mapped:
  // the lost part then reads as zeros, and nothing made from it may be kept.
  bool Intact() const;

 private:
  void Unmap();

  std::vector<uint8_t> buffer_;
  void* mapped_ = nullptr;
  size_t mappedBytes_ = 0;
  std::span<const uint8_t> bytes_;
};

// A file written in pieces that takes the place of `target` only when it is
// complete: the pieces go to a temporary file beside the target, and Commit
// renames it over the target. So a failure never leaves a half-written file nor
// destroys the file it was to replace; a writer dropped before Commit removes
// its temporary file. Each step returns an empty string on success, otherwise
// a short English reason, and after a failure the writer is done.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter();

  std::string Create(const std::filesystem::path& target);
  std::string Write(std::span<const uint8_t> bytes);
  std::string Commit();

 private:
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_ = -1;
};

// Writes `bytes` with an AtomicFileWriter in one piece.
std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes);

}  // namespace asg
