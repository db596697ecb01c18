// xbm2bmp: converts Ashgrove XBM sprites to 24-bit BMP files from the command line.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/console.h"
#include "cli/interruption.h"
#include "cli/wildcards.h"
#include "conversion/export_names.h"
#include "conversion/file_io.h"
#include "conversion/xbm_decoder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace asg::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kExitConverted = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

constexpr char kHelp[] =
    "Usage: xbm2bmp [--fsync] INPUT.xbm OUTPUT.bmp\n"
    "       xbm2bmp [--fsync] -d OUTDIR INPUT.xbm...\n"
    "Converts Ashgrove XBM sprites (RGB565, plain or skip-run rows) to 24-bit BMP files.\n"
    "\n"
    "  -d OUTDIR   convert every INPUT into the existing folder OUTDIR; each output is\n"
    "              named by the input's file name up to and including its first \".\",\n"
    "              then \"bmp\" (SPRITE.XBM -> SPRITE.bmp, a.b.xbm -> a.bmp, name -> name.bmp);\n"
    "              a later input replaces the output of an earlier one of the same name\n"
    "  --fsync     write each output to the disk before going on, so that an output\n"
    "              reported converted survives a power cut (slower)\n"
    "  --          end of options\n"
    "  --help      show this help\n"
    "  --version   show the version\n"
    "\n"
    "A failed input is reported as \"xbm2bmp: NAME: reason\" and writes nothing; an\n"
    "existing output is replaced only by a complete new file. Inputs must be regular\n"
    "files; an output that is a folder or an input of the same run is not written.\n"
    "A picture with no pixels (width or height 0) is not written and counts as skipped.\n"
    "With -d, a summary line ends the run, and progress is shown while stderr is a\n"
    "terminal. Interrupted (Ctrl+C, SIGTERM, SIGHUP), the run removes the output it\n"
    "was writing, prints \"interrupted\" and the summary, and ends by that signal.\n"
    "Exit status: 0 every input converted or skipped, 1 any input failed, 2 usage error.\n";

struct Options {
  enum class Mode { Help, Version, Single, Batch } mode = Mode::Single;
  fs::path output;  // the output file, or the output folder of a batch
  std::vector<fs::path> inputs;
  AtomicFileWriter::Flush flush = AtomicFileWriter::Flush::ToCache;
};

bool IsOption(const fs::path& arg, const char* option) {
  const auto& text = arg.native();
  if (text.size() != std::strlen(option)) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != static_cast<unsigned char>(option[i])) return false;
  }
  return true;
}

bool LooksLikeOption(const fs::path& arg) {
  const auto& text = arg.native();
  return text.size() > 1 && text[0] == '-';
}

// Returns an empty string, or what is wrong with the command line.
std::string ParseArguments(const std::vector<fs::path>& args, Options& options) {
  bool batch = false;
  bool optionsEnded = false;
  std::vector<fs::path> operands;
  for (size_t i = 0; i < args.size(); ++i) {
    const fs::path& arg = args[i];
    if (optionsEnded || !LooksLikeOption(arg)) {
      operands.push_back(arg);
    } else if (IsOption(arg, "--")) {
      optionsEnded = true;
    } else if (IsOption(arg, "--help") || IsOption(arg, "-h")) {
      options.mode = Options::Mode::Help;
      return {};
    } else if (IsOption(arg, "--version")) {
      options.mode = Options::Mode::Version;
      return {};
    } else if (IsOption(arg, "--fsync")) {
      options.flush = AtomicFileWriter::Flush::ToDisk;
    } else if (IsOption(arg, "-d")) {
      if (batch) return "-d given twice";
      if (i + 1 == args.size()) return "-d needs an output folder";
      batch = true;
      options.output = args[++i];
    } else {
      return "unknown option " + DisplayName(arg);
    }
  }
  if (batch) {
    if (operands.empty()) return "no input files";
    options.mode = Options::Mode::Batch;
    options.inputs = std::move(operands);
    return {};
  }
  if (operands.size() != 2) return "expected INPUT and OUTPUT, or -d OUTDIR INPUT...";
  options.mode = Options::Mode::Single;
  options.inputs = {operands[0]};
  options.output = operands[1];
  return {};
}

fs::path BatchOutputPath(const fs::path& folder, const fs::path& input) {
  const std::string name = BatchOutputName(DisplayName(input.filename()));
  return folder / fs::path(std::u8string(name.begin(), name.end()));
}

// What the inputs of a run are, by identity, so that no output replaces one
// of them, however its name is spelled: the files, and the directory entries
// themselves (a symbolic link given as an input is replaced by a rename too).
struct InputIdentities {
  std::set<FileIdentity> files;
  std::set<FileIdentity> entries;

  explicit InputIdentities(const std::vector<fs::path>& inputs) {
    for (const fs::path& input : inputs) {
      if (const auto file = IdentityOf(input)) files.insert(*file);
      if (const auto entry = EntryIdentityOf(input)) entries.insert(*entry);
    }
  }
  bool Include(const fs::path& output) const {
    const auto entry = EntryIdentityOf(output);
    if (!entry) return false;
    const auto file = IdentityOf(output);
    return entries.count(*entry) > 0 || (file && files.count(*file) > 0);
  }
};

// What a run keeps from file to file.
struct Run {
  const InputIdentities& inputs;
  AtomicFileWriter::Flush flush;
  Console& console;
  Tally& tally;
  FileContent file;
  std::vector<uint8_t> chunk;  // a few rows of the image on their way to the output
};

// The image is written a chunk of rows at a time, bottom row first, through a
// buffer that stays in the processor's cache: the whole image is never held.
constexpr size_t kChunkBytes = 256 * 1024;
// The pages of the input read so far are given back after every so many bytes
// of output: often enough that a large input is never held whole, seldom
// enough that a sprite of a few megabytes does not pay for it.
constexpr uint64_t kReleaseInputEvery = 8 << 20;

// Returns an empty string, or why the output could not be written. A damaged
// row, or an input cut short meanwhile, stops the writing too and shows in the
// decoder's result or the content; the temporary file is then removed and the
// output left as it was.
std::string WriteBmp(XbmRowDecoder& decoder, Run& run, const fs::path& output) {
  FileContent& input = run.file;
  std::vector<uint8_t>& chunk = run.chunk;
  AtomicFileWriter file(run.flush);
  if (std::string reason = file.Create(output); !reason.empty()) return reason;
  const uint64_t rowBytes = decoder.rowBytes();
  chunk.resize(static_cast<size_t>(
      std::min<uint64_t>(decoder.imageBytes(), std::max<uint64_t>(kChunkBytes, kBmpHeaderBytes + rowBytes))));
  decoder.WriteHeader(chunk.data());
  size_t used = kBmpHeaderBytes;
  uint64_t sinceRelease = 0;
  for (uint32_t row = 0; row < decoder.height();) {
    const uint32_t count =
        static_cast<uint32_t>(std::min<uint64_t>(decoder.height() - row, (chunk.size() - used) / rowBytes));
    if (!decoder.DecodeRows(row, count, chunk.data() + used)) return {};
    used += static_cast<size_t>(count * rowBytes);
    row += count;
    if (chunk.size() - used < rowBytes || row == decoder.height()) {
      if (std::string reason = file.Write({chunk.data(), used}); !reason.empty()) return reason;
      if ((sinceRelease += used) >= kReleaseInputEvery) {
        input.ReleasePages();
        sinceRelease = 0;
      }
      used = 0;
    }
  }
  if (!input.Intact()) return {};
  return file.Commit();
}

// Converts one input. Writes nothing unless the whole picture decoded.
void ConvertOne(const fs::path& input, const fs::path& output, Run& run) {
  Console& console = run.console;
  Tally& tally = run.tally;
  if (run.inputs.Include(output)) {
    console.Message(output, "would overwrite an input");
    ++tally.failed;
    return;
  }
  if (const XbmResult loaded = LoadXbmFile(input, run.file); !loaded.ok()) {
    console.Message(input, loaded.reason);
    ++tally.failed;
    return;
  }
  XbmRowDecoder decoder(run.file.bytes());
  const XbmHeader& header = decoder.result().header;
  // A picture without pixels is skipped only when the whole file is sound:
  // skip-run rows of Width 0 still have their table and first words.
  if (decoder.result().ok() && (header.width == 0 || header.height == 0) && decoder.CheckAllRows()) {
    console.Message(
        input, "no pixels (" + std::to_string(header.width) + "x" + std::to_string(header.height) + "), not written");
    ++tally.skipped;
    return;
  }
  std::string reason;
  if (decoder.result().ok()) {
    reason = WriteBmp(decoder, run, output);
    // A damaged input is reported as such, whatever became of the output.
    if (!reason.empty()) decoder.CheckAllRows();
  }
  if (!run.file.Intact()) {
    console.Message(input, "changed by another program while being read");
    ++tally.failed;
    return;
  }
  if (!decoder.result().ok()) {
    console.Message(input, decoder.result().reason);
    ++tally.failed;
    return;
  }
  if (!reason.empty()) {
    console.Message(output, reason);
    ++tally.failed;
    return;
  }
  ++tally.converted;
}

int Main(const std::vector<fs::path>& args) {
  Options options;
  if (const std::string problem = ParseArguments(args, options); !problem.empty()) {
    Console(0, false).Message(problem + "\nTry 'xbm2bmp --help'.");
    return kExitUsage;
  }
  if (options.mode == Options::Mode::Help) {
    std::fputs(kHelp, stdout);
    return kExitConverted;
  }
  if (options.mode == Options::Mode::Version) {
    std::fputs("xbm2bmp " ASG_VERSION "\n", stdout);
    return kExitConverted;
  }

  const bool batch = options.mode == Options::Mode::Batch;
  Console console(options.inputs.size(), batch);
  Tally tally;
  EndRunOnInterruption(console, tally, batch);
  const InputIdentities inputs(options.inputs);
  Run run{inputs, options.flush, console, tally, {}, {}};
  std::error_code ec;
  if (batch && !fs::is_directory(options.output, ec)) {
    console.Message(options.output, "no such output folder");
    tally.failed = options.inputs.size();
  } else {
    for (const fs::path& input : options.inputs) {
      try {
        ConvertOne(input, batch ? BatchOutputPath(options.output, input) : options.output, run);
      } catch (const std::exception& e) {  // a name that cannot be converted, or no memory left
        console.Message(input, e.what());
        ++tally.failed;
      }
      console.Progress(tally.converted + tally.failed + tally.skipped);
    }
  }
  if (batch) {
    char summary[96];
    SummaryText(tally, summary);
    console.Message(summary);
  }
  return tally.failed == 0 ? kExitConverted : kExitSomeFailed;
}

}  // namespace
}  // namespace asg::cli

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS);  // a drive without a disk fails the open, without a message box
#else
int main(int argc, char** argv) {
#endif
  std::vector<std::filesystem::path> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return asg::cli::Main(asg::cli::ExpandWildcards(std::move(args)));
}
