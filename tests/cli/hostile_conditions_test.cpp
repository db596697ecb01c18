// The real xbm2bmp against what a hostile user or a careless script gives it:
// inputs that are not files, outputs that are inputs or folders, the longest
// names, signals in the middle of a batch, a file size limit, a full file
// system, a closed stderr, and files far larger than their pictures.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli_test_support.h"
#include "conversion/file_io.h"
#include "conversion/xbm_decoder.h"
#include "run_process.h"
#include "tests/conversion/xbm_test_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace asg {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::GetFile;
using test::NamesIn;
using test::PutFile;
using test::Show;

const Bytes kOld = {'o', 'l', 'd'};

// A picture of `width` x `height` with every pixel word different.
Bytes Picture(int32_t width, int32_t height) {
  Bytes file = test::XbmHeader(width, height, 0);
  for (int64_t i = 0; i < int64_t{width} * height; ++i) test::Add16(file, static_cast<uint16_t>(i * 40503u));
  return file;
}

// "s1000", "s1001", ...: names that sort in the order of the batch.
std::string NumberedName(int i) {
  std::string name = std::to_string(1000 + i);
  name.insert(name.begin(), 's');
  return name;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class HostileConditions : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("asg_hostile_" + std::to_string(std::random_device{}()));
    for (const char* dir : {"in", "out", "scratch"}) fs::create_directories(root_ / dir);
    PutFile(In("good.xbm"), kGood);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path In(const std::string& name) const { return root_ / "in" / name; }
  fs::path Out(const std::string& name) const { return root_ / "out" / name; }
  fs::path OutFolder() const { return root_ / "out"; }
  fs::path Scratch() const { return root_ / "scratch"; }

  test::ProcessResult Run(const std::vector<fs::path>& args, const test::ProcessOptions& options = {}) {
    return test::RunProcess(test::Xbm2BmpProgram(), args, Scratch(), options);
  }
  // Runs xbm2bmp with `args` through the shell command `script`, which runs it as "$@".
  test::ProcessResult RunThroughShell(const std::string& script, const std::vector<fs::path>& args,
                                      const test::ProcessOptions& options = {}) {
    std::vector<fs::path> shellArgs = {"-c", script, "sh", test::Xbm2BmpProgram()};
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    return test::RunProcess("/bin/sh", shellArgs, Scratch(), options);
  }

  const Bytes kGood = Picture(2, 1);
  fs::path root_;
};

// Opening never blocks and never reads from what is not a regular file; the
// files after it are converted.
TEST_F(HostileConditions, InputsThatAreNotRegularFilesFailAtOnce) {
  fs::create_directory(In("folder.xbm"));
  struct Case {
    fs::path input;
    std::string wantReason;
    std::string orReason = "\x01";  // another acceptable reason
  };
  std::vector<Case> cases = {{In("folder.xbm"), "is a folder"}};
#ifdef _WIN32
  const std::wstring pipeName = L"\\\\.\\pipe\\asg_hostile_" + std::to_wstring(GetCurrentProcessId());
  HANDLE pipe = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  OVERLAPPED listening{};
  listening.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ConnectNamedPipe(pipe, &listening);  // waits for a client, which then could read for ever
  // Windows connects to the listening pipe, and its type tells; Wine finds it busy.
  cases.push_back({pipeName, "is a pipe, not a regular file", "cannot be opened: In use by another program"});
  cases.push_back({"NUL", "is a device, not a regular file"});
#else
  ASSERT_EQ(mkfifo(In("fifo.xbm").c_str(), 0600), 0);
  cases.push_back({In("fifo.xbm"), "is a FIFO, not a regular file"});
  cases.push_back({"/dev/zero", "is a device, not a regular file"});
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = In("socket.xbm").string();
  ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
  std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  cases.push_back({In("socket.xbm"), "is a socket, not a regular file"});
#endif
  std::vector<fs::path> args = {"-d", OutFolder()};
  for (const Case& c : cases) args.push_back(c.input);
  args.push_back(In("good.xbm"));
  const test::ProcessResult have = Run(args);
  EXPECT_FALSE(have.timedOut) << "the run blocked";
  EXPECT_EQ(have.exitCode, 1) << have.err;
  for (const Case& c : cases) {
    const std::string want = c.input.filename().string() + ": " + c.wantReason;
    const std::string orWant = c.input.filename().string() + ": " + c.orReason;
    EXPECT_TRUE(Contains(have.err, want) || Contains(have.err, orWant))
        << "stderr: have \"" << have.err << "\", want a part \"" << want << "\"";
  }
  EXPECT_TRUE(Contains(have.err, "1 converted, " + std::to_string(cases.size()) + " failed, 0 skipped")) << have.err;
  EXPECT_EQ(GetFile(Out("good.bmp")), test::DecodedBmp(kGood));
#ifdef _WIN32
  CloseHandle(pipe);
  CloseHandle(listening.hEvent);
#else
  close(listener);
#endif
}

// An output that is an input of the same run, under whatever name, is not
// written, and the input stays as it was.
TEST_F(HostileConditions, OutputThatIsAnInputIsNotWritten) {
  PutFile(In("a.xbm"), kGood);
  PutFile(Out("k.bmp"), kGood);  // an XBM file named like the output of k.xbm
  PutFile(In("k.xbm"), Picture(3, 1));
  fs::create_hard_link(In("a.xbm"), Out("hard.bmp"));
  fs::create_directory(In("sub"));
  const struct {
    const char* label;
    std::vector<fs::path> args;
    std::vector<std::string> wantRefused;  // the outputs named in "NAME: would overwrite an input"
  } cases[] = {
      {"the same name", {In("a.xbm"), In("a.xbm")}, {"a.xbm"}},
      {"another spelling", {In("a.xbm"), In("sub") / ".." / "a.xbm"}, {"a.xbm"}},
      {"a hard link", {In("a.xbm"), Out("hard.bmp")}, {"hard.bmp"}},
      {"an output named like an input of the batch", {"-d", OutFolder(), In("k.xbm"), Out("k.bmp")}, {"k.bmp"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const test::ProcessResult have = Run(c.args);
    EXPECT_EQ(have.exitCode, 1) << have.err;
    for (const std::string& refused : c.wantRefused) {
      EXPECT_TRUE(Contains(have.err, refused + ": would overwrite an input")) << "stderr: " << have.err;
    }
    EXPECT_EQ(GetFile(In("a.xbm")), kGood) << "a.xbm changed";
    EXPECT_EQ(GetFile(Out("k.bmp")), kGood) << "k.bmp changed";
    EXPECT_EQ(GetFile(In("k.xbm")), Picture(3, 1)) << "k.xbm changed";
  }
#ifndef _WIN32
  // A link to an input is refused too, and a link given as an input is not replaced.
  fs::create_symlink(In("a.xbm"), Out("soft.bmp"));
  for (const std::vector<fs::path>& args :
       {std::vector<fs::path>{In("a.xbm"), Out("soft.bmp")}, std::vector<fs::path>{"-d", OutFolder(), Out("soft.bmp")}}) {
    const test::ProcessResult have = Run(args);
    EXPECT_TRUE(Contains(have.err, "soft.bmp: would overwrite an input")) << "stderr: " << have.err;
    EXPECT_TRUE(fs::is_symlink(Out("soft.bmp")));
    EXPECT_EQ(GetFile(In("a.xbm")), kGood);
  }
#endif
}

// The longest names a folder accepts are written, new and over an existing
// file, from a single input and from a batch.
TEST_F(HostileConditions, LongestOutputNamesAreWritten) {
  const Bytes want = test::DecodedBmp(kGood);
  for (size_t length : {size_t{243}, size_t{255}}) {
    const std::string name = std::string(length - 4, 'n');
    for (int round = 0; round < 2; ++round) {  // new, then replacing
      const test::ProcessResult single = Run({In("good.xbm"), Out(name + ".bmp")});
      EXPECT_EQ(single.exitCode, 0) << length << " bytes, round " << round << ": " << single.err;
      EXPECT_EQ(GetFile(Out(name + ".bmp")), want) << length << " bytes";
    }
    fs::remove(Out(name + ".bmp"));
    PutFile(In(name + ".xbm"), kGood);
    const test::ProcessResult batch = Run({"-d", OutFolder(), In(name + ".xbm")});
    EXPECT_EQ(batch.exitCode, 0) << length << " bytes: " << batch.err;
    EXPECT_EQ(NamesIn(OutFolder()), std::set<std::string>{name + ".bmp"}) << Show(NamesIn(OutFolder()));
    fs::remove(Out(name + ".bmp"));
  }
}

TEST_F(HostileConditions, OutputThatIsAFolderIsRefusedAndStaysInPlace) {
  fs::create_directories(Out("t.bmp"));
  PutFile(Out("t.bmp") / "inside", kOld);
  const test::ProcessResult have = Run({In("good.xbm"), Out("t.bmp")});
  EXPECT_EQ(have.exitCode, 1);
  EXPECT_TRUE(Contains(have.err, "t.bmp: is a folder")) << have.err;
  EXPECT_EQ(GetFile(Out("t.bmp") / "inside"), kOld);
  EXPECT_EQ(NamesIn(OutFolder()), std::set<std::string>{"t.bmp"}) << Show(NamesIn(OutFolder()));
}

#ifndef _WIN32
// With every write to stderr failing, the conversions go on to the end.
TEST_F(HostileConditions, BrokenPipeOnStderrDoesNotStopTheBatch) {
  std::vector<fs::path> args = {"-d", OutFolder(), In("missing.xbm")};
  std::set<std::string> want;
  for (int i = 0; i < 20; ++i) {
    const std::string name = "g" + std::to_string(i);
    PutFile(In(name + ".xbm"), kGood);
    args.push_back(In(name + ".xbm"));
    args.push_back(In("missing.xbm"));
    want.insert(name + ".bmp");
  }
  test::ProcessOptions options;
  options.stderrToClosedPipe = true;
  const test::ProcessResult have = Run(args, options);
  EXPECT_EQ(have.signal, 0) << "ended by signal " << have.signal;
  EXPECT_EQ(have.exitCode, 1);
  EXPECT_EQ(NamesIn(OutFolder()), want) << Show(NamesIn(OutFolder()));
}

// The environment that makes xbm2bmp find no unnamed files, and the file in
// which the stand-in notes that it refused one.
test::ProcessOptions WithoutUnnamedFiles(const fs::path& log) {
  test::ProcessOptions options;
  options.environment = {"LD_PRELOAD=" NO_UNNAMED_FILES_PATH, "ASAN_OPTIONS=verify_asan_link_order=0",
                         "NO_UNNAMED_FILES_LOG=" + log.string()};
  return options;
}

struct Way {
  const char* label;
  bool named;  // temporary files with names, as on file systems without unnamed ones
};
constexpr Way kWays[] = {{"unnamed temporary files", false}, {"named temporary files", true}};

// A signal in the middle of a batch ends it with a summary and by that signal,
// and leaves the outputs converted so far whole, the others as they were, and
// no other file. Over existing outputs the new ones are first named
// temporarily, on both ways.
TEST_F(HostileConditions, InterruptedBatchLeavesOnlyWholeOutputs) {
  constexpr int kFiles = 80;
  const Bytes sprite = Picture(2048, 48);
  const Bytes want = test::DecodedBmp(sprite);
  PutFile(In("sprite.xbm"), sprite);
  std::vector<fs::path> args = {"-d", OutFolder()};
  std::set<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = NumberedName(i);
    fs::create_hard_link(In("sprite.xbm"), In(name + ".xbm"));
    args.push_back(In(name + ".xbm"));
    names.insert(name + ".bmp");
  }
  const struct {
    int signal;
    bool named;
    bool existing;     // outputs exist before the run, with other content
    int signalAfter;   // the signal is sent once this many outputs are written
  } cases[] = {
      {SIGINT, false, false, 1},  {SIGTERM, false, false, 20}, {SIGHUP, false, false, 1},
      {SIGKILL, false, false, 1}, {SIGKILL, false, false, 20}, {SIGINT, false, true, 1},
      {SIGTERM, false, true, 20}, {SIGINT, true, true, 1},     {SIGTERM, true, true, 20},
      {SIGHUP, true, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.named ? ", named" : ", unnamed") +
                 (c.existing ? ", over existing outputs" : ", new outputs") + ", after " +
                 std::to_string(c.signalAfter));
    fs::remove_all(OutFolder());
    fs::create_directory(OutFolder());
    std::vector<FileIdentity> before;
    for (const std::string& name : names) {
      if (c.existing) PutFile(Out(name), kOld);
      before.push_back(IdentityOf(Out(name)).value_or(FileIdentity{}));
    }
    const fs::path log = Scratch() / "refusals.txt";
    fs::remove(log);
    test::ChildProcess child(test::Xbm2BmpProgram(), args, Scratch(),
                             c.named ? WithoutUnnamedFiles(log) : test::ProcessOptions{});
    ASSERT_TRUE(child.started());
    // Outputs are written in order; a written one is a new file.
    const fs::path watched = Out(*std::next(names.begin(), c.signalAfter - 1));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (IdentityOf(watched).value_or(FileIdentity{}) == before[static_cast<size_t>(c.signalAfter - 1)] &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    child.Signal(c.signal);
    const test::ProcessResult have = child.Wait();
    ASSERT_EQ(have.signal, c.signal) << "exit " << have.exitCode << " (the batch ended before the signal?)\n"
                                     << have.err;
    size_t converted = 0;
    for (const std::string& name : NamesIn(OutFolder())) {
      ASSERT_EQ(names.count(name), 1u) << "a file that is not an output was left: " << name;
      const Bytes output = GetFile(Out(name));
      if (output == want) {
        ++converted;
      } else {
        EXPECT_EQ(output, kOld) << name << ": have " << output.size() << " bytes, neither whole nor the old content";
      }
    }
    EXPECT_GE(converted, static_cast<size_t>(c.signalAfter));
    if (c.signal != SIGKILL) {
      // The summary counts the outputs finished before the signal; one more may
      // have been finished in the moment after.
      bool summaryMatches = false;
      for (size_t counted : {converted, converted - 1}) {
        summaryMatches |= Contains(have.err, "xbm2bmp: interrupted\nxbm2bmp: " + std::to_string(counted) +
                                                 " converted, 0 failed, 0 skipped\n");
      }
      EXPECT_TRUE(summaryMatches) << converted << " whole outputs, stderr: \"" << have.err << "\"";
    }
    if (c.named) {
      EXPECT_FALSE(GetFile(log).empty()) << "the run did not take the named way";
    }
  }
}

// A file size limit (SIGXFSZ) fails the one output that passes it; the
// others are written and nothing is left of the failed one.
TEST_F(HostileConditions, FileSizeLimitFailsThatOutputAndTheBatchGoesOn) {
  PutFile(In("big.xbm"), Picture(128, 64));  // a 24,630-byte image
  PutFile(In("small.xbm"), kGood);
  for (const Way& way : kWays) {
    SCOPED_TRACE(way.label);
    fs::remove_all(OutFolder());
    fs::create_directory(OutFolder());
    PutFile(Out("big.bmp"), kOld);
    // 16 blocks: 8 kB in dash's blocks of 512 bytes, 16 kB in bash's of 1024.
    const fs::path log = Scratch() / "refusals.txt";
    const test::ProcessResult have = RunThroughShell("ulimit -f 16 && exec \"$@\"",
                                                     {"-d", OutFolder(), In("big.xbm"), In("small.xbm")},
                                                     way.named ? WithoutUnnamedFiles(log) : test::ProcessOptions{});
    EXPECT_EQ(have.signal, 0) << "ended by signal " << have.signal;
    EXPECT_EQ(have.exitCode, 1) << have.err;
    EXPECT_TRUE(Contains(have.err, "big.bmp: cannot write: File too large")) << have.err;
    EXPECT_TRUE(Contains(have.err, "1 converted, 1 failed, 0 skipped")) << have.err;
    EXPECT_EQ(GetFile(Out("big.bmp")), kOld);
    EXPECT_EQ(GetFile(Out("small.bmp")), test::DecodedBmp(kGood));
    EXPECT_EQ(NamesIn(OutFolder()), (std::set<std::string>{"big.bmp", "small.bmp"})) << Show(NamesIn(OutFolder()));
  }
}

// A full file system, a tiny one mounted for the test where this system lets
// a test mount one.
TEST_F(HostileConditions, FullFileSystemFailsThatOutputAndTheBatchGoesOn) {
  if (test::RunProcess("/bin/sh", {"-c", "unshare -Urm true"}, Scratch()).exitCode != 0) {
    GTEST_SKIP() << "no user namespaces here to mount a small file system in";
  }
  PutFile(In("big.xbm"), Picture(256, 256));  // a 196,662-byte image
  PutFile(In("small.xbm"), kGood);
  for (const Way& way : kWays) {
    SCOPED_TRACE(way.label);
    const fs::path log = Scratch() / "refusals.txt";
    // The mount exists only inside the command, which lists what is left.
    const std::string folder = OutFolder().string();
    const test::ProcessResult have = RunThroughShell(
        "exec unshare -Urm /bin/sh -c 'mount -t tmpfs -o size=64k tmpfs \"" + folder +
            "\" && \"$0\" \"$@\"; echo \"exit $?\"; ls -A \"" + folder + "\"' \"$@\"",
        {"-d", OutFolder(), In("small.xbm"), In("big.xbm"), In("good.xbm")},
        way.named ? WithoutUnnamedFiles(log) : test::ProcessOptions{});
    EXPECT_TRUE(Contains(have.err, "big.bmp: cannot write: No space left on device")) << have.err;
    EXPECT_TRUE(Contains(have.err, "2 converted, 1 failed, 0 skipped")) << have.err;
    EXPECT_EQ(have.out, "exit 1\ngood.bmp\nsmall.bmp\n");
  }
}

// What a file costs in memory follows its picture, not its size: a file
// refused on its header costs its first bytes, and a large picture is read a
// piece at a time. The files are sparse: 6 GB that take no disk.
TEST_F(HostileConditions, MemoryFollowsThePictureNotTheFile) {
  constexpr uint64_t kSixGigabytes = 6ull << 30;
  const auto sparse = [&](const std::string& name, const Bytes& start, uint64_t size) {
    PutFile(In(name), start);
    std::error_code ec;
    fs::resize_file(In(name), size, ec);
    return !ec;
  };
  test::SkipRunRow row;
  row.Skip(0).Run(std::initializer_list<uint16_t>(
      {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x1234, 0x4321, 0xABCD, 0xDCBA}));
  const Bytes skipRun = test::SkipRunXbm(8, std::vector<test::SkipRunRow>(16, row));
  if (!sparse("bad_header.xbm", test::XbmHeader(4096, 1, 0), kSixGigabytes) ||
      !sparse("tail.xbm", Picture(2048, 1), kSixGigabytes) || !sparse("skip_run.xbm", skipRun, kSixGigabytes) ||
      !sparse("plain_large.xbm", test::XbmHeader(2048, 16384, 0), 64 + 2048ull * 2 * 16384)) {
    GTEST_SKIP() << "no sparse files on this file system";
  }
  // The peak of a run, in kB, measured by getrusage through a small helper.
  const auto peakOf = [&](const std::string& input, int wantExit) {
    const fs::path report = Scratch() / "peak.txt";
    const test::ProcessResult have =
        test::RunProcess(PEAK_MEMORY_PATH, {report, test::Xbm2BmpProgram(), In(input), Out("out.bmp")}, Scratch());
    EXPECT_EQ(have.exitCode, wantExit) << input << ": " << have.err;
    const Bytes text = GetFile(report);
    return std::stol("0" + std::string(text.begin(), text.end()));
  };
  const long tiny = peakOf("good.xbm", 0);
  ASSERT_GT(tiny, 0);
  const struct {
    const char* name;
    int wantExit;
    long allowanceKb;  // over the run of a tiny file
  } cases[] = {
      {"bad_header.xbm", 1, 4096},
      {"tail.xbm", 0, 4096},
      {"skip_run.xbm", 0, 4096},
      // 64 MB of rows, a 96 MB image: neither is held whole.
      {"plain_large.xbm", 0, 16384},
  };
  for (const auto& c : cases) {
    const long peak = peakOf(c.name, c.wantExit);
    EXPECT_LT(peak, tiny + c.allowanceKb) << c.name << ": have a peak of " << peak << " kB, a tiny file " << tiny
                                          << " kB";
  }
  EXPECT_TRUE(Contains(Run({In("bad_header.xbm"), Out("out.bmp")}).err, "bad_header.xbm: width 4096 outside 0..2048"));
}
#endif

#ifdef _WIN32
// A batch killed outright while it writes an output leaves its outputs whole
// or as they were, and no partial temporary file: the system deletes the one
// being written. A kill in the moment between unmarking a complete one and
// renaming it may leave that one, whole.
TEST_F(HostileConditions, KilledBatchLeavesNoPartialTemporaryFile) {
  const Bytes sprite = Picture(2048, 256);
  const Bytes want = test::DecodedBmp(sprite);
  PutFile(In("sprite.xbm"), sprite);
  std::vector<fs::path> args = {"-d", OutFolder()};
  std::set<std::string> names;
  for (int i = 0; i < 60; ++i) {
    const std::string name = NumberedName(i);
    fs::create_hard_link(In("sprite.xbm"), In(name + ".xbm"));
    args.push_back(In(name + ".xbm"));
    names.insert(name + ".bmp");
  }
  const auto others = [&] {
    std::set<std::string> left;
    for (const std::string& name : NamesIn(OutFolder())) {
      if (names.count(name) == 0) left.insert(name);
    }
    return left;
  };
  // A temporary file with data in it: past the moment of its creation.
  const auto beingWritten = [&] {
    for (const std::string& name : others()) {
      std::error_code ec;
      if (fs::file_size(Out(name), ec) > 0 && !ec) return true;
    }
    return false;
  };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "new outputs" : "over existing outputs");
    for (const std::string& name : names) {
      if (round == 0) fs::remove(Out(name));
      if (round == 1) PutFile(Out(name), kOld);
    }
    test::ChildProcess child(test::Xbm2BmpProgram(), args, Scratch());
    ASSERT_TRUE(child.started());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!beingWritten() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    child.Kill();
    const test::ProcessResult have = child.Wait();
    EXPECT_FALSE(have.timedOut);
    ASSERT_NE(have.exitCode, 0) << "the batch ended before it was killed, no temporary file was seen";
    // Under Wine a killed process's files are let go a moment later.
    const auto partial = [&] {
      for (const std::string& name : others()) {
        if (GetFile(Out(name)) != want) return true;
      }
      return false;
    };
    for (int wait = 0; wait < 50 && partial(); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_LE(others().size(), 1u) << "files left that are not outputs: " << Show(others());
    for (const std::string& name : NamesIn(OutFolder())) {
      const Bytes bytes = GetFile(Out(name));
      EXPECT_TRUE(bytes == want || (bytes == kOld && names.count(name) == 1))
          << name << ": have " << bytes.size() << " bytes, neither whole nor the old content";
    }
    for (const std::string& name : others()) fs::remove(Out(name));
  }
}
#endif

}  // namespace
}  // namespace asg
