#include "conversion/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace asg {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class FileIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    dir_ = fs::temp_directory_path() / ("asg_file_io_" + std::to_string(seed()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void Put(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> Get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Names in the test folder, so that a stray temporary file shows up.
  std::set<fs::path> Entries() {
    std::set<fs::path> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename());
    return names;
  }

  fs::path dir_;
};

// Bytes a text-mode read or write would change: CR LF, ^Z, NUL, high bytes.
const std::vector<uint8_t> kBinary = {'B', 'M', 0x0D, 0x0A, 0x1A, 0x00, 0xFF, 0x0A, 0x0D, 0x80};

TEST_F(FileIoTest, ReadWholeFileReturnsExactBytes) {
  std::vector<uint8_t> large(300000);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 7 + i / 251);
  const struct {
    const char* name;
    std::vector<uint8_t> content;
  } cases[] = {{"binary.xbm", kBinary}, {"empty.xbm", {}}, {"large.xbm", large}};
  for (const auto& c : cases) {
    Put(dir_ / c.name, c.content);
    std::vector<uint8_t> have = Bytes("stale");
    ASSERT_TRUE(ReadWholeFile(dir_ / c.name, have)) << c.name;
    EXPECT_EQ(have, c.content) << c.name << ": have " << have.size() << " bytes, want " << c.content.size();
  }
}

TEST_F(FileIoTest, ReadAndWriteUnicodeNames) {
  const fs::path path = dir_ / fs::path(u8"\u0441\u043F\u0440\u0430\u0439\u0442 \u00E9.bmp");
  ASSERT_EQ(WriteFileAtomically(path, kBinary), "");
  std::vector<uint8_t> have;
  ASSERT_TRUE(ReadWholeFile(path, have));
  EXPECT_EQ(have, kBinary);
  EXPECT_EQ(Entries(), std::set<fs::path>{path.filename()});
}

TEST_F(FileIoTest, WriteCreatesOrReplacesWholeFile) {
  const fs::path target = dir_ / "out.bmp";
  const std::vector<std::vector<uint8_t>> contents = {
      kBinary, Bytes("a much longer second content that the third must not keep"), Bytes("short"), {}};
  for (const std::vector<uint8_t>& content : contents) {
    ASSERT_EQ(WriteFileAtomically(target, content), "");
    const std::vector<uint8_t> have = Get(target);
    EXPECT_EQ(have, content) << "have " << have.size() << " bytes, want " << content.size();
    EXPECT_EQ(Entries(), std::set<fs::path>{"out.bmp"}) << "temporary file left behind";
  }
}

TEST_F(FileIoTest, TargetInMissingFolderFailsAndCreatesNothing) {
  const fs::path target = dir_ / "missing" / "out.bmp";
  const std::string reason = WriteFileAtomically(target, kBinary);
  EXPECT_NE(reason, "") << "have success, want a reason";
  EXPECT_FALSE(fs::exists(dir_ / "missing")) << "the missing folder was created";
  EXPECT_TRUE(Entries().empty()) << "have " << Entries().size() << " entries, want none";
}

// A folder in the way, or reached through a link, is refused and never moved.
TEST_F(FileIoTest, FolderAsTargetIsRefusedAndStaysWhereItIs) {
  fs::create_directory(dir_ / "folder.bmp");
  Put(dir_ / "folder.bmp" / "inside", kBinary);
  std::vector<fs::path> targets = {dir_ / "folder.bmp"};
#ifndef _WIN32
  fs::create_directory_symlink(dir_ / "folder.bmp", dir_ / "link.bmp");
  targets.push_back(dir_ / "link.bmp");
#endif
  const std::set<fs::path> before = Entries();
  for (const fs::path& target : targets) {
    EXPECT_EQ(WriteFileAtomically(target, Bytes("new content")), "is a folder") << target.filename();
  }
  EXPECT_EQ(Get(dir_ / "folder.bmp" / "inside"), kBinary);
  EXPECT_EQ(Entries(), before) << "temporary file left behind";
}

// The temporary name is short, so every name the folder accepts can be written:
// up to 255 bytes, new or replacing a file.
TEST_F(FileIoTest, LongestNamesAreWrittenNewAndReplaced) {
  for (size_t length : {size_t{243}, size_t{250}, size_t{255}}) {
    const fs::path target = dir_ / (std::string(length - 4, 'n') + ".bmp");
    for (const std::vector<uint8_t>& content : {kBinary, Bytes("replaced")}) {
      ASSERT_EQ(WriteFileAtomically(target, content), "") << length << " bytes";
      EXPECT_EQ(Get(target), content) << length << " bytes";
    }
    EXPECT_EQ(Entries(), std::set<fs::path>{target.filename()}) << length << " bytes: temporary file left behind";
    fs::remove(target);
  }
}

TEST_F(FileIoTest, WriterInPiecesReplacesTheTargetOnlyOnCommit) {
  const fs::path target = dir_ / "out.bmp";
  Put(target, kBinary);
  AtomicFileWriter file;
  ASSERT_EQ(file.Create(target), "");
  ASSERT_EQ(file.Write(Bytes("first ")), "");
  ASSERT_EQ(file.Write(Bytes("second")), "");
  EXPECT_EQ(Get(target), kBinary) << "the target changed before Commit";
  ASSERT_EQ(file.Commit(), "");
  EXPECT_EQ(Get(target), Bytes("first second"));
  EXPECT_EQ(Entries(), std::set<fs::path>{"out.bmp"}) << "temporary file left behind";
}

TEST_F(FileIoTest, WriterDroppedBeforeCommitLeavesTheTargetAndNoTemporaryFile) {
  const fs::path target = dir_ / "out.bmp";
  Put(target, kBinary);
  {
    AtomicFileWriter file;
    ASSERT_EQ(file.Create(target), "");
    ASSERT_EQ(file.Write(Bytes("half an image")), "");
  }
  EXPECT_EQ(Get(target), kBinary) << "have changed content, want the old content";
  EXPECT_EQ(Entries(), std::set<fs::path>{"out.bmp"}) << "temporary file left behind";
  AtomicFileWriter unused;
  EXPECT_NE(unused.Commit(), "") << "have success for a writer that created nothing, want a reason";
}

// A guard that lets files be mapped, or not, and records what it is told.
class RecordingGuard final : public MappingGuard {
 public:
  explicit RecordingGuard(bool accept) : accept_(accept) {}
  bool Watch(const void* begin, size_t bytes) override {
    if (!accept_) return false;
    watched = begin;
    watchedBytes = bytes;
    return true;
  }
  void Unwatch(const void* begin) override {
    EXPECT_EQ(begin, watched);
    watched = nullptr;
  }
  bool Damaged(const void*) const override { return false; }

  const void* watched = nullptr;
  size_t watchedBytes = 0;

 private:
  bool accept_;
};

// Small files are read, large ones may be mapped where a guard watches them:
// every way gives the exact bytes asked for, and pages given back are read
// again unchanged.
TEST_F(FileIoTest, FileContentHoldsTheExactFirstBytesOfSmallAndLargeFiles) {
  std::vector<uint8_t> large(3 << 20);
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint8_t>(i * 13 + i / 4093);
  const struct {
    std::vector<uint8_t> file;
    uint64_t count;
  } cases[] = {{kBinary, kBinary.size()}, {large, large.size()}, {{}, 0},           {kBinary, 4},
               {large, 2 << 20},          {large, 100},          {kBinary, 1 << 30}};
  RecordingGuard accepting(true), refusing(false);
  const struct {
    const char* name;
    RecordingGuard* guard;
  } ways[] = {{"no guard", nullptr}, {"a guard that refuses", &refusing}, {"a guard that watches", &accepting}};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    FileContent content(way.guard);  // reused, as a batch does
    for (const auto& c : cases) {
      Put(dir_ / "in.xbm", c.file);
      InputFile file;
      ASSERT_EQ(file.Open(dir_ / "in.xbm"), "");
      ASSERT_EQ(content.Load(file, c.count), "");
      const size_t wantBytes = std::min<size_t>(c.file.size(), c.count);
      const std::vector<uint8_t> want(c.file.begin(), c.file.begin() + static_cast<ptrdiff_t>(wantBytes));
      for (int pass = 0; pass < 2; ++pass) {
        const std::vector<uint8_t> have(content.bytes().begin(), content.bytes().end());
        EXPECT_TRUE(have == want) << "pass " << pass << ": have " << have.size() << " bytes, want the first "
                                  << want.size() << " of " << c.file.size();
        content.ReleasePages();
      }
#ifndef _WIN32
      // Mapped: at least 1 MB, and only where a guard watches.
      const bool mapped = way.guard == &accepting && wantBytes >= (1u << 20);
      EXPECT_EQ(accepting.watched, mapped ? static_cast<const void*>(content.bytes().data()) : nullptr);
      if (mapped) {
        EXPECT_EQ(accepting.watchedBytes, wantBytes);
      }
#endif
      EXPECT_TRUE(content.Intact());
      content.Clear();
      EXPECT_EQ(accepting.watched, nullptr) << "a mapping is watched after Clear";
      EXPECT_TRUE(content.bytes().empty());
    }
  }
  InputFile missing;
  FileContent content;
  EXPECT_NE(missing.Open(dir_ / "missing.xbm"), "");
  EXPECT_NE(content.Load(missing, 10), "") << "a file that is not open loads nothing";
  EXPECT_TRUE(content.bytes().empty()) << "have " << content.bytes().size() << " bytes of a missing file, want 0";
}

// Whatever is not a regular file is refused at once, before any read, with a
// reason that says what it is; a FIFO without a writer never blocks.
TEST_F(FileIoTest, OnlyRegularFilesAreOpened) {
  fs::create_directory(dir_ / "folder.xbm");
  Put(dir_ / "file.xbm", kBinary);
  struct Case {
    fs::path path;
    std::string wantReason;  // empty: opened
  };
  std::vector<Case> cases = {{dir_ / "file.xbm", ""},
                             {dir_ / "folder.xbm", "is a folder"},
                             {dir_ / "missing.xbm", "cannot be opened: No such file or directory"},
                             {dir_ / "no" / "such.xbm", "cannot be opened: No such file or directory"}};
#ifdef _WIN32
  cases.push_back({"NUL", "is a device, not a regular file"});
#else
  ASSERT_EQ(mkfifo((dir_ / "fifo.xbm").c_str(), 0600), 0);
  cases.push_back({dir_ / "fifo.xbm", "is a FIFO, not a regular file"});
  cases.push_back({"/dev/null", "is a device, not a regular file"});
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (dir_ / "socket.xbm").string();
  ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
  std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  cases.push_back({dir_ / "socket.xbm", "is a socket, not a regular file"});
#endif
  for (const Case& c : cases) {
    InputFile file;
    EXPECT_EQ(file.Open(c.path), c.wantReason) << c.path;
    std::vector<uint8_t> bytes = Bytes("stale");
    EXPECT_EQ(ReadWholeFile(c.path, bytes), c.wantReason.empty()) << c.path;
    EXPECT_EQ(bytes, c.wantReason.empty() ? kBinary : std::vector<uint8_t>{}) << c.path;
  }
#ifndef _WIN32
  close(listener);
#endif
}

TEST_F(FileIoTest, InputReadsPastTheEndFail) {
  Put(dir_ / "file.xbm", kBinary);
  InputFile file;
  ASSERT_EQ(file.Open(dir_ / "file.xbm"), "");
  EXPECT_EQ(file.size(), kBinary.size());
  std::vector<uint8_t> tail(3);
  EXPECT_EQ(file.ReadAt(kBinary.size() - 3, tail), "");
  EXPECT_EQ(tail, std::vector<uint8_t>(kBinary.end() - 3, kBinary.end()));
  EXPECT_EQ(file.ReadAt(kBinary.size() - 2, tail), "cannot be read: the file was cut short");
}

// The same file under other spellings and links is the same; the link itself
// is an entry of its own.
TEST_F(FileIoTest, IdentityFollowsTheFileNotTheSpelling) {
  Put(dir_ / "a.xbm", kBinary);
  Put(dir_ / "b.xbm", kBinary);
  fs::create_directory(dir_ / "sub");
  const auto a = IdentityOf(dir_ / "a.xbm");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(IdentityOf(dir_ / "sub" / ".." / "a.xbm"), a);
  EXPECT_EQ(EntryIdentityOf(dir_ / "a.xbm"), a);
  EXPECT_NE(IdentityOf(dir_ / "b.xbm"), a);
  EXPECT_EQ(IdentityOf(dir_ / "missing.xbm"), std::nullopt);
  EXPECT_EQ(EntryIdentityOf(dir_ / "missing.xbm"), std::nullopt);
  fs::create_hard_link(dir_ / "a.xbm", dir_ / "hard.bmp");
  EXPECT_EQ(IdentityOf(dir_ / "hard.bmp"), a);
#ifndef _WIN32
  fs::create_symlink(dir_ / "a.xbm", dir_ / "soft.bmp");
  EXPECT_EQ(IdentityOf(dir_ / "soft.bmp"), a);
  EXPECT_NE(EntryIdentityOf(dir_ / "soft.bmp"), a);
  EXPECT_TRUE(EntryIdentityOf(dir_ / "soft.bmp").has_value());
#endif
}

#ifdef __linux__
// On Linux the data goes to a file without a name, so a process that dies
// while writing leaves no trace, whatever kills it.
TEST_F(FileIoTest, TemporaryFileHasNoNameWhileBeingWritten) {
  Put(dir_ / "old.bmp", kBinary);
  for (const char* name : {"new.bmp", "old.bmp"}) {
    AtomicFileWriter file;
    ASSERT_EQ(file.Create(dir_ / name), "");
    ASSERT_EQ(file.Write(Bytes("half an image")), "");
    EXPECT_EQ(Entries(), std::set<fs::path>{"old.bmp"}) << name << ": a name appeared before Commit";
  }
}
#endif

// Records what a writer notes of its temporary files, and checks that it
// notes and forgets them only while it holds the notes.
class RecordingNames final : public TemporaryNames {
 public:
  void Hold() override {
    EXPECT_FALSE(held) << "held twice";
    held = true;
  }
  void Release() override {
    EXPECT_TRUE(held) << "released without a hold";
    held = false;
  }
  int Remember(const fs::path& name) override {
    EXPECT_TRUE(held) << "noted without a hold";
    noted.push_back(name);
    return static_cast<int>(noted.size()) - 1;
  }
  void Forget(int slot) override {
    EXPECT_TRUE(held) << "forgotten without a hold";
    forgotten.insert(slot);
  }

  bool held = false;
  std::vector<fs::path> noted;
  std::set<int> forgotten;
};

// Every temporary file that has a name while it is written is noted, in the
// target's folder, and forgotten by the time the writer is done, committed or
// dropped; a new target and one replaced alike.
TEST_F(FileIoTest, WriterNotesItsNamedTemporaryFilesWhileTheyExist) {
  for (bool commit : {true, false}) {
    for (bool existing : {false, true}) {
      SCOPED_TRACE(std::string(commit ? "committed" : "dropped") + (existing ? ", replacing" : ", new"));
      const fs::path target = dir_ / "out.bmp";
      fs::remove(target);
      if (existing) Put(target, kBinary);
      RecordingNames names;
      {
        AtomicFileWriter file(AtomicFileWriter::Flush::ToCache, &names);
        ASSERT_EQ(file.Create(target), "");
        ASSERT_EQ(file.Write(Bytes("new")), "");
        if (commit) {
          ASSERT_EQ(file.Commit(), "");
        }
      }
      EXPECT_FALSE(names.held);
      for (size_t slot = 0; slot < names.noted.size(); ++slot) {
        EXPECT_EQ(names.noted[slot].parent_path(), dir_);
        EXPECT_EQ(names.forgotten.count(static_cast<int>(slot)), 1u) << names.noted[slot] << " was not forgotten";
      }
#if defined(_WIN32)
      EXPECT_EQ(names.noted.size(), 1u) << "on Windows the temporary file has a name from the start";
#elif defined(__linux__)
      // Unnamed until it is complete, and then named only to replace a file.
      EXPECT_EQ(names.noted.size(), commit && existing ? 1u : 0u);
#endif
      EXPECT_EQ(Get(target), commit ? Bytes("new") : existing ? kBinary : std::vector<uint8_t>{});
      EXPECT_EQ(Entries(), existing || commit ? std::set<fs::path>{"out.bmp"} : std::set<fs::path>{});
    }
  }
}

}  // namespace
}  // namespace asg
