// The export commands of the main window, in process: the dialogs are answered
// through their Prompt seam, and once each through the real system dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include <dlgs.h>

#include "app/MainUnit.h"
#include "controls/KOLWrenDirectoryListBox.h"
#include "controls/KOLWrenFileListBox.h"
#include "conversion/xbm_decoder.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/folder_dialog.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/menu.h"
#include "platform/paint_box.h"
#include "platform/save_file_dialog.h"
#include "platform/text.h"
#include "tests/conversion/xbm_test_files.h"
#include "tests/controls/test_support.h"
#include "tests/platform/dialog_driver.h"
#include "tests/platform/input_driver.h"

namespace {

namespace fs = std::filesystem;
using asg::test::Bytes;
using asg::test::GetFile;
using asg::test::PlainXbm;
using asg::test::PutFile;
using testing_dialogs::DialogDriver;

// Where a click on the menu bar finds the two commands: the drop-down "Файл", then its item.
constexpr std::initializer_list<int> kSaveCommand = {0, 0};
constexpr std::initializer_list<int> kSaveSelectedCommand = {0, 1};

// Clicks the menu command at `positions`; returns when the loop has run it.
void ChooseFromMenuBar(const MainWindow& window, std::initializer_list<int> positions) {
  ASSERT_TRUE(testing_input::PostMenuCommand(window.Window->Handle(), positions));
  platform::Application::ProcessMessages();
}

// A path as the program holds names of files.
std::string Utf8(const fs::path& path) { return platform::NarrowName(path.wstring()); }

// What the core makes of an XBM file: the bytes every written BMP must have.
Bytes CoreBmp(const fs::path& xbm) { return asg::test::DecodedBmp(xbm); }

Bytes PictureBytes() { return asg::test::BytesOf(Picture->Image()); }

// The files of a folder, by name, with their bytes ("<folder>" for a folder).
std::map<std::string, std::string> FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const Bytes bytes = entry.is_directory() ? Bytes{'<', 'f', '>'} : GetFile(entry.path());
    contents[Utf8(entry.path().filename())] = std::string(bytes.begin(), bytes.end());
  }
  return contents;
}

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool SameFolder(const std::string& a, const std::string& b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, platform::WidenName(a).c_str(), -1,
                        platform::WidenName(b).c_str(), -1) == CSTR_EQUAL;
}

// A folder of sprites, an output folder, and the main window listing the
// sprites, its dialogs answered by the test: each showing is recorded with
// what the command set before it, and answered with `answer` (nullopt cancels).
class ExportCommands : public testing::Test {
 protected:
  struct Asked {
    std::string folder;
    std::string name;  // the save dialog's proposed name; empty for the folder dialog
  };

  void SetUp() override {
    platform::Application::Reset();
    root = fs::temp_directory_path() / ("asg-export-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root);
    sprites = root / "sprites";
    out = root / "out";
    fs::create_directories(sprites);
    fs::create_directories(out);
    PutFile(sprites / "a.b.xbm", PlainXbm(3, 2, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410}));
    PutFile(sprites / "SPRITE.XBM", PlainXbm(2, 2, {0x1234, 0x5678, 0x9ABC, 0xDEF0}));
    PutFile(sprites / "x.1.xbm", PlainXbm(1, 1, {0xF800}));
    PutFile(sprites / "x.2.xbm", PlainXbm(4, 1, {0x001F, 0x07E0, 0xF800, 0xFFFF}));
    PutFile(sprites / "unselected.xbm", PlainXbm(1, 1, {0x0001}));
    PutFile(sprites / "empty.xbm", PlainXbm(0, 5, {}));
    PutFile(sprites / "bad.xbm", Bytes(20, 0));  // ends inside the header

    const std::string folder = Utf8(sprites) + "\\";
    NewMainWindow(AppMain, nullptr, StartLocation{folder[0], folder});
    main = AppMain;
    main->SaveDialog->Prompt = [this](platform::SaveFileDialog& dialog) {
      asked.push_back({dialog.InitialFolder, dialog.FileName});
      if (!answer) return false;
      dialog.FileName = *answer;
      return true;
    };
    main->FolderDialog->Prompt = [this](platform::FolderDialog& dialog) {
      asked.push_back({dialog.Folder, {}});
      if (!answer) return false;
      dialog.Folder = *answer;
      return true;
    };
  }

  void TearDown() override {
    DestroyMainWindow();
    platform::Application::Reset();
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  int IndexOf(const std::string& item) const {
    for (int i = 0; i < main->FileList->Count(); ++i) {
      if (main->FileList->Item(i) == item) return i;
    }
    ADD_FAILURE() << "no item " << item << " in the file list";
    return -1;
  }

  // Makes `item` the current item and converts it, as a click on it does.
  void MakeCurrent(const std::string& item) {
    main->FileList->ListBox.Send(LB_SETCARETINDEX, IndexOf(item), FALSE);
    main->FileListChange();
  }

  void Select(std::initializer_list<std::string> items) {
    for (const std::string& item : items) main->FileList->ListBox.Send(LB_SETSEL, TRUE, IndexOf(item));
  }

  // Lists the sprites with their names as they are on disk, not in lower case.
  void ListNamesAsOnDisk() {
    main->FileList->CaseMode = WrenFileListBox::kCaseAsListed;
    main->FileList->SetPath(Utf8(sprites) + "\\");
  }

  fs::path root, sprites, out;
  MainWindow* main = nullptr;
  std::optional<std::string> answer;
  std::vector<Asked> asked;
};

TEST_F(ExportCommands, SavePictureProposesTheNameBeforeTheFirstDotAndWritesThePicture) {
  fs::create_directories(out / "deeper");
  struct Case {
    std::string item;
    std::string proposed;
    fs::path target;
  };
  const std::vector<Case> cases = {
      {"sprite.xbm", "sprite", out / "sprite.bmp"},
      {"a.b.xbm", "a", out / "deeper" / "a.bmp"},
      {"x.1.xbm", "x", out / "chosen name.bmp"},
  };
  std::string folderBefore = SaveFolder;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.item);
    MakeCurrent(c.item);
    answer = Utf8(c.target);
    // The menu item and a click on the preview run the same command.
    if (i % 2 == 0) main->SaveItemClick();
    else main->PreviewClick();
    ASSERT_EQ(asked.size(), i + 1);
    EXPECT_EQ(asked[i].name, c.proposed) << "have the name " << asked[i].name << " proposed, want " << c.proposed;
    EXPECT_EQ(asked[i].folder, folderBefore) << "the dialog opens in the folder of the last save";
    EXPECT_EQ(AsText(GetFile(c.target)), AsText(CoreBmp(sprites / c.item))) << "the file holds the BMP image";
    EXPECT_EQ(AsText(GetFile(c.target)), AsText(PictureBytes()));
    const std::string wantFolder = Utf8(c.target.parent_path()) + "\\";
    EXPECT_EQ(SaveFolder, wantFolder) << "have SaveFolder " << SaveFolder << ", want " << wantFolder;
    folderBefore = SaveFolder;
  }
}

TEST_F(ExportCommands, CancellingEitherDialogChangesNothing) {
  MakeCurrent("a.b.xbm");
  Select({"a.b.xbm", "sprite.xbm"});
  const std::string saveFolder = SaveFolder, batchFolder = BatchFolder;
  const std::string sizeText = main->SizeLabel->Text();
  const Bytes picture = PictureBytes();
  answer.reset();
  main->SavePicture();
  main->SaveSelected();
  EXPECT_EQ(asked.size(), 2u) << "both dialogs were shown";
  EXPECT_EQ(SaveFolder, saveFolder);
  EXPECT_EQ(BatchFolder, batchFolder);
  EXPECT_EQ(main->SizeLabel->Text(), sizeText);
  EXPECT_EQ(PictureBytes(), picture);
  EXPECT_TRUE(fs::is_empty(out)) << "have files written after a cancel, want none";
}

TEST_F(ExportCommands, APictureWithNoPixelsWritesNothingButSaveFolderFollows) {
  PutFile(out / "keep.bmp", Bytes{'k', 'e', 'e', 'p'});
  for (const std::string item : {"empty.xbm", "bad.xbm"}) {
    SCOPED_TRACE(item);
    MakeCurrent(item);
    ASSERT_TRUE(Picture->Empty()) << "have a " << Picture->Width() << "x" << Picture->Height() << " picture";
    for (const fs::path& target : {out / "keep.bmp", out / "new.bmp"}) {
      SaveFolder = "C:\\";
      answer = Utf8(target);
      main->SavePicture();
      EXPECT_EQ(SaveFolder, Utf8(out) + "\\") << "SaveFolder follows a confirmed save, written or not";
    }
    EXPECT_EQ(FolderContents(out), (std::map<std::string, std::string>{{"keep.bmp", "keep"}}))
        << "the existing file is left alone and no new one is made";
  }
}

TEST_F(ExportCommands, SaveSelectedWritesEverySelectedItemInListOrder) {
  ListNamesAsOnDisk();
  MakeCurrent("a.b.xbm");
  const Bytes picture = PictureBytes();
  const int previewWidth = main->Preview->Width(), previewHeight = main->Preview->Height();
  PutFile(out / "empty.bmp", Bytes{'k', 'e', 'e', 'p'});
  Select({"a.b.xbm", "SPRITE.XBM", "x.1.xbm", "x.2.xbm", "empty.xbm", "bad.xbm"});
  answer = Utf8(out);
  main->SaveSelected();

  EXPECT_EQ(BatchFolder, *answer) << "BatchFolder is the folder as the dialog returned it";
  const std::map<std::string, std::string> want = {
      {"a.bmp", AsText(CoreBmp(sprites / "a.b.xbm"))},      // the name ends at the first dot
      {"SPRITE.bmp", AsText(CoreBmp(sprites / "SPRITE.XBM"))},  // name kept, "bmp" in lower case
      {"x.bmp", AsText(CoreBmp(sprites / "x.2.xbm"))},      // the later item replaces the earlier
      {"empty.bmp", "keep"},                                 // no pixels: the old file stays
  };
  EXPECT_EQ(FolderContents(out), want);

  const int last = main->FileList->Count() - 1;
  ASSERT_TRUE(main->FileList->Selected(last));
  ASSERT_EQ(main->FileList->Item(last), "x.2.xbm");
  EXPECT_EQ(main->SizeLabel->Text(), "\xD0\xE0\xE7\xEC\xE5\xF0: 4x1") << "SizeLabel shows the last file of the batch";
  EXPECT_EQ(PictureBytes(), picture) << "the batch leaves Picture alone";
  EXPECT_EQ(main->Preview->Width(), previewWidth);
  EXPECT_EQ(main->Preview->Height(), previewHeight);
}

TEST_F(ExportCommands, SaveSelectedGoesOnAfterAFileThatCannotBeWritten) {
  ListNamesAsOnDisk();
  fs::create_directories(out / "a.bmp");  // the first output name is taken by a folder
  Select({"a.b.xbm", "SPRITE.XBM"});
  answer = Utf8(out);
  main->SaveSelected();
  EXPECT_TRUE(fs::is_directory(out / "a.bmp"));
  EXPECT_EQ(AsText(GetFile(out / "SPRITE.bmp")), AsText(CoreBmp(sprites / "SPRITE.XBM")))
      << "the item after the failed one is written";
}

TEST_F(ExportCommands, BatchFolderIsKeptAsReturnedAndOpensTheNextDialog) {
  Select({"sprite.xbm"});
  const std::string start = BatchFolder;
  answer = Utf8(out) + "\\";  // a folder given with its final "\", as a drive root is
  main->SaveSelected();
  main->SaveSelected();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].folder, start) << "the first folder dialog opens at the start folder";
  EXPECT_EQ(asked[1].folder, *answer) << "have " << asked[1].folder << ", want " << *answer;
  EXPECT_EQ(BatchFolder, *answer);
  EXPECT_TRUE(fs::exists(out / "sprite.bmp")) << "the doubled separator still names the file in that folder";
}

// Names that Windows-1251 cannot hold, one beside its look-alike: each file is
// converted from its own bytes, proposed and saved under its own name, and
// written by the batch to its own output.
TEST_F(ExportCommands, NamesBeyondWindows1251ConvertAndSaveUnderTheirOwnNames) {
  const auto named = [](const std::string& utf8) { return fs::path(platform::WidenName(utf8)); };
  const fs::path folder = root / named("Спрайты");
  const fs::path batch = root / named("вывод 日本");
  fs::create_directories(folder);
  fs::create_directories(batch);
  const struct {
    std::string item;
    Bytes xbm;
    std::string size;
    std::string proposed;
    std::string output;
  } cases[] = {
      {"cafe.xbm", PlainXbm(1, 1, {0xF800}), "1x1", "cafe", "cafe.bmp"},
      {"café.xbm", PlainXbm(2, 1, {0x07E0, 0x001F}), "2x1", "café", "café.bmp"},
      {"日本.xbm", PlainXbm(3, 1, {0x001F, 0xFFFF, 0x8410}), "3x1", "日本", "日本.bmp"},
      {"🐉.v2.xbm", PlainXbm(1, 2, {0x1234, 0x4321}), "1x2", "🐉", "🐉.bmp"},
  };
  for (const auto& c : cases) PutFile(folder / named(c.item), c.xbm);
  main->FileList->SetPath(Utf8(folder) + "\\");

  std::map<std::string, std::string> wantBatch;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.item);
    MakeCurrent(c.item);
    EXPECT_EQ(main->SizeLabel->Text(), "\xD0\xE0\xE7\xEC\xE5\xF0: " + c.size);
    const Bytes bmp = CoreBmp(folder / named(c.item));
    EXPECT_EQ(AsText(PictureBytes()), AsText(bmp)) << "the picture of this very file";

    answer = Utf8(out) + "\\" + c.proposed + ".bmp";
    main->SavePicture();
    ASSERT_EQ(asked.size(), i + 1);
    EXPECT_EQ(asked[i].name, c.proposed);
    EXPECT_EQ(AsText(GetFile(out / named(c.output))), AsText(bmp));
    wantBatch[c.output] = AsText(bmp);
  }

  Select({"cafe.xbm", "café.xbm", "日本.xbm", "🐉.v2.xbm"});
  answer = Utf8(batch);
  main->SaveSelected();
  EXPECT_EQ(BatchFolder, Utf8(batch));
  EXPECT_EQ(FolderContents(batch), wantBatch);
}

TEST_F(ExportCommands, RealSaveDialogFromTheMenuSavesUnderTheProposedName) {
  main->SaveDialog->Prompt = &platform::SaveFileDialog::ShowSystemDialog;
  MakeCurrent("sprite.xbm");
  SaveFolder = Utf8(out);
  const fs::path currentFolder = fs::current_path();
  std::wstring proposed;
  DialogDriver driver([&](HWND dialog) {
    HWND name = GetDlgItem(dialog, edt1);
    if (!name) name = GetDlgItem(dialog, cmb13);
    proposed = DialogDriver::TextOf(name);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // accept the proposed name
  });
  ChooseFromMenuBar(*main, kSaveCommand);
  EXPECT_EQ(proposed, L"sprite");
  EXPECT_EQ(AsText(GetFile(out / "sprite.bmp")), AsText(CoreBmp(sprites / "sprite.xbm")));
  EXPECT_TRUE(SameFolder(SaveFolder, Utf8(out) + "\\")) << "have SaveFolder " << SaveFolder;
  EXPECT_EQ(fs::current_path(), currentFolder) << "the dialog leaves the process's current folder alone";
}

TEST_F(ExportCommands, RealFolderDialogFromTheMenuConvertsTheSelection) {
  main->FolderDialog->Prompt = &platform::FolderDialog::ShowSystemDialog;
  Select({"a.b.xbm", "x.2.xbm"});
  BatchFolder = Utf8(out);
  DialogDriver driver([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });  // the start folder
  ChooseFromMenuBar(*main, kSaveSelectedCommand);
  EXPECT_TRUE(SameFolder(BatchFolder, Utf8(out))) << "have BatchFolder " << BatchFolder;
  EXPECT_EQ(AsText(GetFile(out / "a.bmp")), AsText(CoreBmp(sprites / "a.b.xbm")));
  EXPECT_EQ(AsText(GetFile(out / "x.bmp")), AsText(CoreBmp(sprites / "x.2.xbm")));
}

// The program started in a drive root: the process's current folder and the
// start folder are C:\, so both remembered folders are "C:\" with its final
// separator. A sprite of the test's own lies there while the test runs.
class ExportCommandsInADriveRoot : public testing::Test {
 protected:
  void SetUp() override {
    platform::Application::Reset();
    PutFile(root / sprite, PlainXbm(2, 2, {0xF800, 0x07E0, 0x001F, 0xFFFF}));
    NewMainWindow(AppMain, nullptr, StartLocation{'C', "C:\\"});
    main = AppMain;
    main->SaveDialog->Prompt = &platform::SaveFileDialog::ShowSystemDialog;
    main->FolderDialog->Prompt = &platform::FolderDialog::ShowSystemDialog;
  }
  void TearDown() override {
    DestroyMainWindow();
    platform::Application::Reset();
    std::error_code ec;
    fs::remove(root / sprite, ec);
    fs::remove(root / output, ec);
  }

  const fs::path root = "C:\\";
  const std::string name = "asg-root-" + std::to_string(GetCurrentProcessId());
  const fs::path sprite = name + ".xbm", output = name + ".bmp";
  testing_support::CurrentDirectory current{"C:\\"};
  MainWindow* main = nullptr;
};

TEST_F(ExportCommandsInADriveRoot, BothDialogsStartThereAndWriteThere) {
  EXPECT_EQ(SaveFolder, "C:\\");
  EXPECT_EQ(BatchFolder, "C:\\");
  EXPECT_EQ(main->FolderList->Path, "C:\\");
  EXPECT_EQ(main->FileList->Path, "C:\\");
  int index = -1;
  for (int i = 0; i < main->FileList->Count(); ++i)
    if (main->FileList->Item(i) == Utf8(sprite)) index = i;
  ASSERT_GE(index, 0) << "the sprite in C:\\ is listed";
  RECT rc{};
  main->FileList->ListBox.Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
  testing_input::Click(main->FileList->ListBox.Handle(), {rc.left + 5, (rc.top + rc.bottom) / 2});
  ASSERT_EQ(AsText(PictureBytes()), AsText(CoreBmp(root / sprite)));

  std::wstring proposed;
  {
    DialogDriver driver([&](HWND dialog) {
      HWND field = GetDlgItem(dialog, edt1);
      if (!field) field = GetDlgItem(dialog, cmb13);
      proposed = DialogDriver::TextOf(field);
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);  // the proposed name, in the folder it opened at
    });
    ChooseFromMenuBar(*main, kSaveCommand);
  }
  EXPECT_EQ(proposed, fs::path(name).wstring());
  EXPECT_EQ(AsText(GetFile(root / output)), AsText(CoreBmp(root / sprite)));
  EXPECT_TRUE(SameFolder(SaveFolder, "C:\\")) << "have SaveFolder " << SaveFolder;

  fs::remove(root / output);
  {
    DialogDriver driver([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });  // the start folder
    ChooseFromMenuBar(*main, kSaveSelectedCommand);
  }
  EXPECT_TRUE(SameFolder(BatchFolder, "C:\\")) << "have BatchFolder " << BatchFolder;
  EXPECT_EQ(AsText(GetFile(root / output)), AsText(CoreBmp(root / sprite))) << "the batch wrote into the root";
}

}  // namespace
