#pragma once
// The one road from an XBM file to a BMP picture, for the program and for
// xbm2bmp: the file is judged on its header before the rest is read, then
// decoded into memory or straight into an output file, and what became of it
// is told as one outcome.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion/bmp_image.h"
#include "conversion/file_io.h"

namespace asg {

class XbmRowDecoder;

// What became of one input.
struct Outcome {
  enum class Kind : uint8_t { Converted, Skipped, Failed };
  // Whose name goes with the reason: the input's, or the output's (it could
  // not be written).
  enum class Subject : uint8_t { Input, Output };

  Kind kind = Kind::Converted;
  Subject subject = Subject::Input;
  std::string reason;  // short English reason; empty when converted

  static Outcome Converted() { return {}; }
  static Outcome Skipped(std::string reason) { return {Kind::Skipped, Subject::Input, std::move(reason)}; }
  static Outcome Failed(Subject subject, std::string reason) { return {Kind::Failed, subject, std::move(reason)}; }
  bool failed() const { return kind == Kind::Failed; }
};

// How output files are written.
struct OutputOptions {
  AtomicFileWriter::Flush flush = AtomicFileWriter::Flush::ToCache;
  TemporaryNames* temporaryNames = nullptr;  // where the writers note their temporary files
};

// Writes a picture held in memory to `output`, byte for byte; an existing
// file is replaced only by the whole new one. A picture without pixels (width
// or height 0) writes nothing and leaves an existing file alone: Skipped.
Outcome WriteBmpFile(const BmpImage& image, const std::filesystem::path& output, const OutputOptions& options = {});

// Converts XBM files one after another and keeps its buffers from file to
// file (the input's bytes, a piece of the output), so that a run of
// conversions touches no fresh memory. One per thread: it is not shared.
// Inputs are opened as InputFile opens them: regular files only, others may
// read them meanwhile but not write them.
class XbmConverter {
 public:
  // With a guard, large inputs are mapped instead of read (see MappingGuard).
  explicit XbmConverter(MappingGuard* guard = nullptr) : input_(guard) {}
  XbmConverter(const XbmConverter&) = delete;
  XbmConverter& operator=(const XbmConverter&) = delete;

  // Decodes `input` into `image`, in the memory of the picture it held.
  // Converted: `image` holds the picture, also one without pixels. Failed:
  // `image` is empty (0 x 0, no bytes).
  Outcome Decode(const std::filesystem::path& input, BmpImage& image);

  // Converts `input` into the BMP file `output` a piece at a time, so that
  // the image is never held whole. Converted; Skipped when the picture has no
  // pixels and its rows are sound; Failed otherwise. Only Converted writes the
  // output; otherwise it stays as it was, and no temporary file is left.
  Outcome Convert(const std::filesystem::path& input, const std::filesystem::path& output,
                  const OutputOptions& options = {});

 private:
  Outcome Load(const std::filesystem::path& input);
  Outcome WriteRows(XbmRowDecoder& decoder, AtomicFileWriter& file);
  Outcome InputFailed(std::string reason) const;
  Outcome OutputFailed(XbmRowDecoder& decoder, std::string reason) const;

  FileContent input_;
  std::vector<uint8_t> piece_;  // a few rows of the image on their way to the output
};

}  // namespace asg
