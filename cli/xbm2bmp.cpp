// xbm2bmp: converts Ashgrove XBM sprites to 24-bit BMP files from the command line.

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
#include "cli/mapped_input_guard.h"
#include "cli/wildcards.h"
#include "conversion/export_names.h"
#include "conversion/file_io.h"
#include "conversion/xbm_converter.h"

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
  const OutputOptions& output;
  Console& console;
  Tally& tally;
  XbmConverter& converter;
};

Outcome ConvertOne(const fs::path& input, const fs::path& output, Run& run) {
  if (run.inputs.Include(output)) return Outcome::Failed(Outcome::Subject::Output, "would overwrite an input");
  return run.converter.Convert(input, output, run.output);
}

// Counts the outcome and says why for an input not converted.
void Report(const Outcome& outcome, const fs::path& input, const fs::path& output, Run& run) {
  switch (outcome.kind) {
    case Outcome::Kind::Converted: ++run.tally.converted; return;
    case Outcome::Kind::Skipped:
      run.console.Message(input, outcome.reason);
      ++run.tally.skipped;
      return;
    case Outcome::Kind::Failed:
      run.console.Message(outcome.subject == Outcome::Subject::Output ? output : input, outcome.reason);
      ++run.tally.failed;
      return;
  }
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
  TemporaryFiles temporaryFiles;
  EndRunOnInterruption(console, tally, batch, temporaryFiles);
  MappedInputGuard mappedInputs;
  XbmConverter converter(&mappedInputs);
  const InputIdentities inputs(options.inputs);
  const OutputOptions output{options.flush, &temporaryFiles};
  Run run{inputs, output, console, tally, converter};
  std::error_code ec;
  if (batch && !fs::is_directory(options.output, ec)) {
    console.Message(options.output, "no such output folder");
    tally.failed = options.inputs.size();
  } else {
    for (const fs::path& input : options.inputs) {
      fs::path target;
      Outcome outcome;
      try {
        target = batch ? BatchOutputPath(options.output, input) : options.output;
        outcome = ConvertOne(input, target, run);
      } catch (const std::exception& e) {  // a name that cannot be converted, or no memory left
        outcome = Outcome::Failed(Outcome::Subject::Input, e.what());
      }
      Report(outcome, input, target, run);
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
