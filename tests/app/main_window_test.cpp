// The main window in process: built on a folder of sprites made by the test,
// driven with the messages a user's mouse produces.

#include "app/MainUnit.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/KOLWrenDirectoryListBox.h"
#include "controls/KOLWrenDriveComboBox.h"
#include "controls/KOLWrenFileListBox.h"
#include "conversion/xbm_decoder.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/menu.h"
#include "platform/paint_box.h"
#include "platform/panel.h"
#include "platform/save_file_dialog.h"
#include "platform/scroll_box.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "tests/controls/test_support.h"
#include "tests/conversion/xbm_test_files.h"
#include "tests/platform/input_driver.h"
#include "tests/platform/message_loop.h"

namespace {

using platform::Rect;
using testing_input::PressKey;
using testing_support::TempFolder;
using testing_loop::Pump;
using testing_loop::PumpFor;

// "Размер: "
const std::string kSizePrefix = "\xD0\xE0\xE7\xEC\xE5\xF0: ";

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  asg::test::PutFile(std::filesystem::path(platform::WidenName(path)), bytes);
}

// What the core makes of the XBM file at `path` (UTF-8), as the picture must hold it.
std::vector<uint8_t> CoreBmp(const std::string& path) {
  return asg::test::DecodedBmp(std::filesystem::path(platform::WidenName(path)));
}

std::vector<uint8_t> PictureBytes() { return asg::test::BytesOf(Picture->Image()); }

bool BarVisible(const platform::Control& box, int bar) {
  return (GetWindowLongW(box.Handle(), GWL_STYLE) & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

SCROLLINFO BarInfo(const platform::Control& box, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(box.Handle(), bar, &si);
  return si;
}

// Sprites in a folder of their own, with one subfolder holding one more sprite:
//   Small.XBM 64 x 48, medium.xbm 600 x 400, large.xbm 1200 x 900, flat.xbm
//   10 x 0 (no rows), bad.xbm (cut short), sub\inner.xbm 5 x 3.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::Application::Reset();
    folder = temp.Path();
    WriteFile(folder + "Small.XBM", asg::test::PatternXbm(64, 48));
    WriteFile(folder + "large.xbm", asg::test::PatternXbm(1200, 900));
    WriteFile(folder + "medium.xbm", asg::test::PatternXbm(600, 400));
    WriteFile(folder + "flat.xbm", asg::test::PatternXbm(10, 0));
    std::vector<uint8_t> bad = asg::test::PatternXbm(40, 30);
    bad.resize(bad.size() / 2);
    WriteFile(folder + "bad.xbm", bad);
    temp.MakeFolder("sub");
    WriteFile(folder + "sub\\inner.xbm", asg::test::PatternXbm(5, 3));
  }
  void TearDown() override {
    DestroyMainWindow();
    platform::Application::Reset();
  }

  void Build(const std::string& startFolder) {
    NewMainWindow(AppMain, nullptr, StartLocation{folder[0], startFolder});
    ASSERT_NE(AppMain, nullptr);
    w = AppMain;
  }

  int IndexOf(const std::string& name) const {
    for (int i = 0; i < w->FileList->Count(); ++i)
      if (w->FileList->Item(i) == name) return i;
    return -1;
  }

  // Clicks a file of the file list with the mouse; `keys` adds MK_CONTROL or MK_SHIFT.
  void ClickFile(const std::string& name, WPARAM keys = 0) {
    const int index = IndexOf(name);
    ASSERT_GE(index, 0) << name << " is not listed";
    ClickItem(index, keys);
  }
  void ClickItem(int index, WPARAM keys = 0) {
    RECT rc{};
    w->FileList->ListBox.Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
    testing_input::Click(w->FileList->ListBox.Handle(), {rc.left + 5, (rc.top + rc.bottom) / 2}, keys);
  }

  // Shows the window in front, as after start-up, with its first paints done.
  void ShowInFront() {
    w->Window->Show();
    SetForegroundWindow(w->Window->Handle());
    PumpFor(100);
  }

  // What the window shows after converting `item` of the file list: the label
  // text and the picture's bytes, as the core makes them of the file.
  struct Shown {
    std::string label;
    std::vector<uint8_t> picture;
    bool operator==(const Shown&) const = default;
  };
  Shown Showing() const { return {w->SizeLabel->Text(), PictureBytes()}; }
  Shown ShownFor(const std::string& item) const {
    asg::BmpImage image;
    const std::filesystem::path path(platform::WidenName(w->FileList->Path + item));
    if (!asg::DecodeXbm(asg::test::GetFile(path), image).ok()) return {std::string(ReadErrorText), {}};
    return {asg::SizeText(image.width(), image.height()), asg::test::BytesOf(image)};
  }

  // The save dialog answered with `target` (empty: cancelled); each showing is counted.
  void AnswerSaveDialog(const std::string& target) {
    w->SaveDialog->Prompt = [this, target](platform::SaveFileDialog& dialog) {
      ++saveDialogs;
      if (target.empty()) return false;
      dialog.FileName = target;
      return true;
    };
  }

  TempFolder temp;
  std::string folder;  // ends in "\"
  MainWindow* w = nullptr;
  int saveDialogs = 0;
};

TEST_F(MainWindowTest, StartsHiddenOnTheStartFolderWithTheSharedStateSet) {
  Build(folder);
  EXPECT_EQ(w->Window->Text(), "Ashgrove XBM Converter v1.0");
  EXPECT_FALSE(w->Window->Visible());
  EXPECT_EQ(platform::Application::MainForm(), w->Window);
  EXPECT_EQ(w->DriveCombo->Drive, folder[0]);
  EXPECT_EQ(w->FolderList->Path, folder);
  EXPECT_EQ(w->FileList->Path, folder);
  std::vector<std::string> names;
  for (int i = 0; i < w->FileList->Count(); ++i) names.push_back(w->FileList->Item(i));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"bad.xbm", "flat.xbm", "large.xbm", "medium.xbm", "small.xbm"}))
      << "lower case, no folders";
  EXPECT_EQ(w->SizeLabel->Text(), "");
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 137, 121}));
  EXPECT_TRUE(w->MenuTimer->Enabled());
  EXPECT_EQ(w->MenuTimer->Interval(), 50u);
  EXPECT_TRUE(w->MainMenu->ItemEnabled(1));
  EXPECT_TRUE(w->MainMenu->ItemEnabled(2));
  ASSERT_NE(Picture, nullptr);
  EXPECT_EQ(Picture->Width(), 1);
  EXPECT_EQ(Picture->Height(), 1);
  EXPECT_EQ(BmpHeader[0], 'B');
  EXPECT_EQ(BmpHeader[1], 'M');
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(SaveFolder, platform::NarrowName(current));
  EXPECT_EQ(BatchFolder, SaveFolder);
}

// The test program carries the program's resources, as the program does.
TEST_F(MainWindowTest, TheWindowShowsTheProgramsOwnIconInBothSizes) {
  Build(folder);
  const struct {
    int which;
    int size;
  } icons[] = {{GCLP_HICON, GetSystemMetrics(SM_CXICON)}, {GCLP_HICONSM, GetSystemMetrics(SM_CXSMICON)}};
  for (const auto& icon : icons) {
    SCOPED_TRACE(icon.size);
    const auto handle = reinterpret_cast<HICON>(GetClassLongPtrW(w->Window->Handle(), icon.which));
    ASSERT_NE(handle, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(colour.bmWidth, icon.size) << "drawn for its size";
    // Drawn on white: the transparent corner shows the white, the frame its own colour.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, icon.size, icon.size);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ before = SelectObject(dc, canvas);
    const RECT all{0, 0, icon.size, icon.size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, handle, icon.size, icon.size, 0, nullptr, DI_NORMAL);
    const int pixel = icon.size / 16;  // the icon is a 16 x 16 sprite scaled up
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, pixel, pixel), RGB(44, 44, 56)) << "the frame of the sprite";
    EXPECT_EQ(GetPixel(dc, 7 * pixel, 13 * pixel), RGB(72, 160, 60)) << "the grass";
    SelectObject(dc, before);
    DeleteObject(canvas);
    DeleteDC(dc);
  }
}

TEST_F(MainWindowTest, MenuHasTheFiveNumberedItems) {
  Build(folder);
  // "Файл", "Сохранить...", "Сохранить выделенное...", "Выход", "О Программе..."
  const std::vector<std::string> want = {
      "\xD4\xE0\xE9\xEB", "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC...",
      "\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xE2\xFB\xE4\xE5\xEB\xE5\xED\xED\xEE\xE5...", "\xC2\xFB\xF5\xEE\xE4",
      "\xCE \xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5..."};
  ASSERT_EQ(w->MainMenu->Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(w->MainMenu->ItemText(i), want[i]) << "item " << i;
}

TEST_F(MainWindowTest, LayoutKeepsItsFixedSizesAfterCreationAndAfterResizing) {
  Build(folder);
  EXPECT_EQ(w->Window->Width(), 696);
  EXPECT_EQ(w->Window->Height(), 506);
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(w->Window->Left(), (screenW - 696) / 2) << "centred";
  EXPECT_EQ(w->Window->Top(), (screenH - 506) / 2);

  for (auto [width, height] : {std::pair{696, 506}, std::pair{900, 700}, std::pair{500, 400}}) {
    w->Window->SetSize(width, height);
    const Rect c = w->Window->ClientRect();
    const int W = c.Width(), H = c.Height(), P = H - 17;
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    EXPECT_EQ(w->StatusStrip->Bounds(), (Rect{0, H - 17, W, H}));
    EXPECT_EQ(w->LeftPane->Bounds(), (Rect{0, 0, 167, P}));
    EXPECT_EQ(w->PreviewArea->Bounds(), (Rect{167, 0, W, P}));
    EXPECT_EQ(w->DriveStrip->Bounds(), (Rect{0, 0, 167, 25}));
    EXPECT_EQ(w->FolderList->ListView.Bounds(), (Rect{0, 25, 167, 202})) << "184 snapped to whole rows: 177";
    EXPECT_EQ(w->FileList->ListBox.Bounds(), (Rect{0, 202, 167, P}));
    EXPECT_EQ(w->DriveCombo->ComboBox.Left(), 0);
    EXPECT_EQ(w->DriveCombo->ComboBox.Top(), 0);
    EXPECT_EQ(w->DriveCombo->ComboBox.Width(), 167);
    EXPECT_EQ(w->SizeLabel->Bounds(), (Rect{0, 0, 168, 22}));
  }
  EXPECT_EQ(w->SizeLabel->GetFont().height, -11);
  EXPECT_EQ(w->DriveCombo->Font.height, -11);
}

TEST_F(MainWindowTest, ChainFromDriveToFolderToFileToPictureAndLabel) {
  Build(folder);
  // A drive pick lists the drive's root and leaves the file list alone.
  w->DriveCombo->SetDrive(folder[0]);
  EXPECT_EQ(w->FolderList->Path, std::string(1, folder[0]) + ":\\");
  EXPECT_EQ(w->FileList->Path, folder);

  // A double click on a subfolder row enters it and lists its sprites.
  w->FolderList->SetPath(folder);
  const int subRow = w->FolderList->Levels;  // the first (only) subfolder row
  ListView_SetItemState(w->FolderList->ListView.Handle(), subRow, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  RECT rc{LVIR_BOUNDS, 0, 0, 0};
  w->FolderList->ListView.Send(LVM_GETITEMRECT, static_cast<WPARAM>(subRow), reinterpret_cast<LPARAM>(&rc));
  w->FolderList->ListView.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(rc.left + 40, (rc.top + rc.bottom) / 2));
  Pump();
  EXPECT_EQ(w->FolderList->Path, folder + "sub\\");
  EXPECT_EQ(w->FileList->Path, folder + "sub\\");
  ASSERT_EQ(w->FileList->Count(), 1);

  // A click on the file converts it into Picture and shows it at once.
  ClickFile("inner.xbm");
  EXPECT_EQ(w->SizeLabel->Text(), "\xD0\xE0\xE7\xEC\xE5\xF0: 5x3");  // "Размер: 5x3"
  EXPECT_EQ(PictureBytes(), CoreBmp(folder + "sub\\inner.xbm"));
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 5, 3}));
  EXPECT_TRUE(std::ranges::equal(BmpHeader, Picture->Image().header())) << "BmpHeader filled";
}

TEST_F(MainWindowTest, SelectingA64x48SpriteSizesThePreviewBeforeTheNextPaint) {
  Build(folder);
  w->Window->Show();
  Pump();
  ClickFile("small.xbm");
  EXPECT_EQ(w->SizeLabel->Text(), "\xD0\xE0\xE7\xEC\xE5\xF0: 64x48");
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 64, 48}));
  EXPECT_FALSE(BarVisible(*w->PreviewArea, SB_HORZ));
  EXPECT_FALSE(BarVisible(*w->PreviewArea, SB_VERT));
  // The direct paint put the picture on the preview: a pixel in its middle.
  const std::vector<uint8_t> bmp = CoreBmp(folder + "Small.XBM");
  const size_t row = asg::BmpRowBytes(64);
  const uint8_t* p = bmp.data() + 54 + row * (48 - 1 - 20) + 3 * 30;  // pixel (30, 20)
  HDC dc = GetDC(w->Preview->Handle());
  const COLORREF shown = GetPixel(dc, 30, 20);
  ReleaseDC(w->Preview->Handle(), dc);
  EXPECT_EQ(shown, RGB(p[2], p[1], p[0]));
}

TEST_F(MainWindowTest, ALargePictureScrollsAndASmallerOneAfterItRemovesTheBars) {
  Build(folder);
  w->Window->Show();
  Pump();
  ClickFile("large.xbm");
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 1200, 900}));
  ASSERT_TRUE(BarVisible(*w->PreviewArea, SB_HORZ));
  ASSERT_TRUE(BarVisible(*w->PreviewArea, SB_VERT));
  const Rect visible = w->PreviewArea->ClientRect();
  const SCROLLINFO h = BarInfo(*w->PreviewArea, SB_HORZ), v = BarInfo(*w->PreviewArea, SB_VERT);
  EXPECT_EQ(h.nMin, 0);
  EXPECT_EQ(h.nMax, 1199);
  EXPECT_EQ(static_cast<int>(h.nPage), visible.Width());
  EXPECT_EQ(v.nMax, 899);
  EXPECT_EQ(static_cast<int>(v.nPage), visible.Height());

  w->PreviewArea->Send(WM_VSCROLL, SB_LINEDOWN, 0);
  w->PreviewArea->Send(WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(w->Preview->Top(), -16);
  EXPECT_EQ(w->Preview->Left(), -visible.Width());

  ClickFile("small.xbm");
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 64, 48})) << "back at the top-left corner";
  EXPECT_FALSE(BarVisible(*w->PreviewArea, SB_HORZ));
  EXPECT_FALSE(BarVisible(*w->PreviewArea, SB_VERT));
}

TEST_F(MainWindowTest, ARejectedFileEmptiesThePictureAndSaysSo) {
  Build(folder);
  ClickFile("small.xbm");
  const asg::BmpHeaderBytes smallHeader = BmpHeader;
  ClickFile("bad.xbm");
  EXPECT_EQ(w->SizeLabel->Text(), ReadErrorText);
  EXPECT_EQ(BmpHeader, smallHeader) << "BmpHeader keeps the header of the last picture made";
  EXPECT_EQ(Picture->Width(), 0);
  EXPECT_EQ(Picture->Height(), 0);
  EXPECT_TRUE(PictureBytes().empty());
  EXPECT_EQ(w->Preview->Width(), 0);
  EXPECT_EQ(w->Preview->Height(), 0);
  ClickFile("small.xbm");
  EXPECT_EQ(Picture->Width(), 64) << "the next good file shows again";
}

TEST_F(MainWindowTest, SaveItemsAreGreyedWithinATickWhileNothingIsSelected) {
  Build(folder);
  auto state = [&] { return std::pair{w->MainMenu->ItemEnabled(1), w->MainMenu->ItemEnabled(2)}; };
  PumpFor(150);
  EXPECT_EQ(state(), std::pair(false, false)) << "nothing selected after start";
  ClickFile("small.xbm");
  PumpFor(150);
  EXPECT_EQ(state(), std::pair(true, true)) << "one file selected";
  ClickFile("small.xbm", MK_CONTROL);
  PumpFor(150);
  EXPECT_EQ(w->FileList->SelectedCount(), 0);
  EXPECT_EQ(state(), std::pair(false, false)) << "a Ctrl+click deselected the last one";
  EXPECT_EQ(w->SizeLabel->Text(), "\xD0\xE0\xE7\xEC\xE5\xF0: 64x48") << "the deselected current file is still shown";
  ClickFile("small.xbm");
  PumpFor(150);
  w->FileList->SetPath(folder + "sub\\");
  const std::string empty = temp.MakeFolder("empty");
  w->FileList->SetPath(empty);
  PumpFor(150);
  EXPECT_EQ(w->FileList->SelectedCount(), -1);
  EXPECT_EQ(state(), std::pair(false, false)) << "an empty list";
}

TEST_F(MainWindowTest, TheExitItemAndACloseRequestBothEndTheLoop) {
  struct Case {
    const char* name;
    void (*close)(MainWindow&);  // queues what the user's action sends
  };
  const Case cases[] = {
      {"menu item 3, the last of the drop-down",
       [](MainWindow& m) { ASSERT_TRUE(testing_input::PostMenuCommand(m.Window->Handle(), {0, 3})); }},
      {"WM_CLOSE", [](MainWindow& m) { PostMessageW(m.Window->Handle(), WM_CLOSE, 0, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::Application::Reset();
    Build(folder);
    HWND window = w->Window->Handle();
    c.close(*w);
    platform::Application::Run(*w->Window);  // returns when the loop has ended
    EXPECT_TRUE(platform::Application::Terminated());
    EXPECT_TRUE(IsWindow(window)) << "destroyed after the loop, not by the request";
    DestroyMainWindow();
    EXPECT_EQ(AppMain, nullptr);
    EXPECT_FALSE(IsWindow(window));
  }
}

TEST_F(MainWindowTest, AMissingStartFolderLeavesBothListsEmptyWithoutAMessage) {
  Build(folder + "missing\\");
  EXPECT_EQ(w->FolderList->Path, "");
  EXPECT_EQ(w->FileList->Path, "");
  EXPECT_EQ(w->FileList->Count(), 0);
  EXPECT_EQ(w->FolderList->ListView.Send(LVM_GETITEMCOUNT), 0);
  PumpFor(150);
  EXPECT_FALSE(w->MainMenu->ItemEnabled(1));
  EXPECT_EQ(GetWindow(w->Window->Handle(), GW_ENABLEDPOPUP), nullptr) << "no message box";
}

TEST_F(MainWindowTest, EndOfSessionTearsTheWindowDownAtOnce) {
  Build(folder);
  HWND window = w->Window->Handle();
  platform::Application::OnEndSession = [] { DestroyMainWindow(); };
  SendMessageW(window, WM_ENDSESSION, TRUE, 0);
  EXPECT_TRUE(platform::Application::Terminated());
  EXPECT_EQ(AppMain, nullptr);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowTest, AfterAKeyInTheFileListClicksStillShowTheFileClicked) {
  Build(folder);
  ShowInFront();
  ASSERT_GE(w->FileList->Count(), 5);
  const struct {
    const char* what;
    int click;   // the item clicked, or -1 for the key
    WPARAM keys; // MK_CONTROL or MK_SHIFT with the click
    WPARAM key;
    int shown;   // the item whose picture is shown afterwards
  } steps[] = {
      {"click", 0, 0, 0, 0},
      {"Down", -1, 0, VK_DOWN, 1},
      {"click after the key", 3, 0, 0, 3},
      {"Ctrl+click", 0, MK_CONTROL, 0, 0},
      {"Ctrl+click that deselects it", 0, MK_CONTROL, 0, 0},
      {"Shift+click", 2, MK_SHIFT, 0, 2},
      {"End", -1, 0, VK_END, 4},
      {"click", 1, 0, 0, 1},
  };
  for (const auto& s : steps) {
    if (s.click >= 0) ClickItem(s.click, s.keys);
    else PressKey(s.key);
    const std::string item = w->FileList->Item(s.shown);
    EXPECT_EQ(w->FileList->CurrentItem(), item) << s.what;
    EXPECT_TRUE(Showing() == ShownFor(item)) << s.what << ": have " << w->SizeLabel->Text() << " shown, want "
                                             << item << " (" << ShownFor(item).label << ")";
  }
}

TEST_F(MainWindowTest, TabGoesThroughTheLeftPaneInCreationOrder) {
  Build(folder);
  ShowInFront();
  ClickItem(0);
  ASSERT_EQ(GetFocus(), w->FileList->ListBox.Handle()) << "a click puts the focus into the file list";
  const struct {
    const char* what;
    bool shift;
    HWND want;
  } steps[] = {
      {"Tab from the file list: round to the drive box", false, w->DriveCombo->ComboBox.Handle()},
      {"Tab: the folder list", false, w->FolderList->ListView.Handle()},
      {"Tab: the file list", false, w->FileList->ListBox.Handle()},
      {"Shift+Tab: the folder list", true, w->FolderList->ListView.Handle()},
      {"Shift+Tab: the drive box", true, w->DriveCombo->ComboBox.Handle()},
      {"Shift+Tab: round to the file list", true, w->FileList->ListBox.Handle()},
  };
  const std::string folderShown = w->FolderList->Path;
  const char drive = w->DriveCombo->Drive;
  for (const auto& s : steps) {
    PressKey(VK_TAB, s.shift);
    EXPECT_EQ(GetFocus(), s.want) << s.what;
  }
  EXPECT_EQ(w->FolderList->Path, folderShown) << "Tab changed no folder";
  EXPECT_EQ(w->DriveCombo->Drive, drive) << "and no drive";
  EXPECT_TRUE(Showing() == ShownFor(w->FileList->Item(0))) << "and no file";

  // Enter and Escape, which a dialog box takes for Ok and Cancel, choose no menu command.
  AnswerSaveDialog("");
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  PumpFor(100);
  EXPECT_EQ(saveDialogs, 0);
  EXPECT_FALSE(platform::Application::Terminated());
  EXPECT_TRUE(w->Window->Visible());
  EXPECT_EQ(GetFocus(), w->FileList->ListBox.Handle());
}

TEST_F(MainWindowTest, AClickOnThePreviewSavesTheStartPictureWhileTheSaveItemsAreGreyed) {
  Build(folder);
  ShowInFront();
  PumpFor(150);
  ASSERT_FALSE(w->MainMenu->ItemEnabled(1)) << "nothing is selected: the save items are greyed";
  ASSERT_FALSE(w->MainMenu->ItemEnabled(2));
  ASSERT_EQ(w->Preview->Bounds(), (Rect{0, 0, 1, 1})) << "the 1 x 1 start picture, at the top-left corner";
  const std::string target = temp.Path() + "start.bmp";
  AnswerSaveDialog(target);
  testing_input::Click(w->Preview->Handle(), {0, 0});
  EXPECT_EQ(saveDialogs, 1) << "the click opened the save dialog";
  std::ifstream in(std::filesystem::path(platform::WidenName(target)), std::ios::binary);
  const std::vector<uint8_t> written{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(written.size(), 58u) << "a 54-byte header and one padded row of one pixel";
  EXPECT_EQ(written, PictureBytes());
  EXPECT_EQ(written[0], 'B');
  EXPECT_EQ(written[18], 1) << "width 1";
  EXPECT_EQ(written[22], 1) << "height 1";
  EXPECT_EQ(written[28], 24) << "24 bits a pixel";

  // A click that ends outside the picture is no click.
  PostMessageW(w->Preview->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
  PostMessageW(w->Preview->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump();
  EXPECT_EQ(saveDialogs, 1);
}

TEST_F(MainWindowTest, TheMenuBarsSaveCommandWritesTheShownPicture) {
  Build(folder);
  ShowInFront();
  ClickFile("small.xbm");
  const std::string target = temp.Path() + "from the menu.bmp";
  AnswerSaveDialog(target);
  ASSERT_TRUE(testing_input::PostMenuCommand(w->Window->Handle(), {0, 0}));  // "Файл", "Сохранить..."
  Pump();
  EXPECT_EQ(saveDialogs, 1);
  std::ifstream in(std::filesystem::path(platform::WidenName(target)), std::ios::binary);
  const std::vector<uint8_t> written{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(written, CoreBmp(folder + "Small.XBM"));
}

TEST_F(MainWindowTest, ADrivePickedWithTheKeyboardListsItsRootAndLeavesTheFiles) {
  testing_support::FakeDrives drives({{'C', DRIVE_FIXED}, {'D', DRIVE_CDROM}});
  NewMainWindow(AppMain, nullptr, StartLocation{'D', folder});
  w = AppMain;
  ShowInFront();
  ClickFile("small.xbm");
  const Shown before = Showing();
  const int files = w->FileList->Count();
  ASSERT_EQ(w->DriveCombo->ComboBox.SelectedText().substr(0, 1), "D");
  SetFocus(w->DriveCombo->ComboBox.Handle());
  PressKey(VK_UP);  // the combo box selects drive C and tells its parent (CBN_SELCHANGE)
  EXPECT_EQ(w->DriveCombo->ComboBox.SelectedText().substr(0, 1), "C");
  EXPECT_EQ(w->DriveCombo->Drive, 'C');
  EXPECT_EQ(w->FolderList->Path, "C:\\");
  EXPECT_EQ(w->FolderList->ListView.RowText(0), "C:");
  EXPECT_EQ(w->FileList->Path, folder) << "the file list keeps its folder";
  EXPECT_EQ(w->FileList->Count(), files);
  EXPECT_TRUE(Showing() == before) << "and the preview its picture";
}

TEST_F(MainWindowTest, ResizingTheWindowBringsAndTakesAwayTheBarsOfAPicture) {
  Build(folder);
  ShowInFront();
  ClickFile("medium.xbm");
  ASSERT_EQ(w->Preview->Bounds(), (Rect{0, 0, 600, 400}));
  const struct {
    int width, height;
    bool horizontal, vertical;
    bool scrollToTheEnd;
  } steps[] = {
      {1000, 800, false, false, false},
      {500, 400, true, true, true},  // scrolled to the bottom right corner here
      {450, 350, true, true, false},
      {1000, 800, false, false, false},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    w->Window->SetSize(s.width, s.height);  // WM_SIZE, as after a drag on the frame
    Pump();
    if (s.scrollToTheEnd) {
      PostMessageW(w->PreviewArea->Handle(), WM_HSCROLL, SB_BOTTOM, 0);
      PostMessageW(w->PreviewArea->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
      Pump();
    }
    const Rect visible = w->PreviewArea->ClientRect();
    EXPECT_EQ(BarVisible(*w->PreviewArea, SB_HORZ), s.horizontal);
    EXPECT_EQ(BarVisible(*w->PreviewArea, SB_VERT), s.vertical);
    const SCROLLINFO h = BarInfo(*w->PreviewArea, SB_HORZ), v = BarInfo(*w->PreviewArea, SB_VERT);
    EXPECT_EQ(h.nMax, std::max(600, visible.Width()) - 1);
    EXPECT_EQ(v.nMax, std::max(400, visible.Height()) - 1);
    EXPECT_EQ(static_cast<int>(h.nPage), visible.Width());
    EXPECT_EQ(static_cast<int>(v.nPage), visible.Height());
    const int maxX = std::max(0, 600 - visible.Width()), maxY = std::max(0, 400 - visible.Height());
    EXPECT_TRUE(h.nPos >= 0 && h.nPos <= maxX) << "have x " << h.nPos << ", want 0 to " << maxX;
    EXPECT_TRUE(v.nPos >= 0 && v.nPos <= maxY) << "have y " << v.nPos << ", want 0 to " << maxY;
    if (s.scrollToTheEnd) {
      EXPECT_EQ(h.nPos, maxX);
      EXPECT_EQ(v.nPos, maxY);
    }
    EXPECT_EQ(w->Preview->Bounds(), (Rect{-h.nPos, -v.nPos, 600 - h.nPos, 400 - v.nPos}))
        << "the picture follows the bars";
  }
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 600, 400})) << "all of it in view again, at the top-left corner";
}

TEST_F(MainWindowTest, TheWheelOverThePreviewScrollsAPictureThreeLinesANotch) {
  Build(folder);
  ShowInFront();
  ClickFile("large.xbm");
  ASSERT_EQ(GetFocus(), w->FileList->ListBox.Handle());
  const POINT over = testing_input::MiddleOf(w->PreviewArea->Handle());
  ASSERT_EQ(WindowFromPoint(over), w->Preview->Handle());
  const struct {
    const char* what;
    UINT msg;
    WPARAM keys;
    int delta;
    POINT want;  // the picture's top-left corner in the preview area
  } turns[] = {
      {"one notch toward the user", WM_MOUSEWHEEL, 0, -WHEEL_DELTA, {0, -48}},
      {"another", WM_MOUSEWHEEL, 0, -WHEEL_DELTA, {0, -96}},
      {"one back", WM_MOUSEWHEEL, 0, WHEEL_DELTA, {0, -48}},
      {"Shift: to the right", WM_MOUSEWHEEL, MK_SHIFT, -WHEEL_DELTA, {-48, -48}},
      {"tilted left", WM_MOUSEHWHEEL, 0, -WHEEL_DELTA, {0, -48}},
      {"far up: no further than the top", WM_MOUSEWHEEL, 0, 10 * WHEEL_DELTA, {0, 0}},
  };
  for (const auto& t : turns) {
    testing_input::TurnWheel(over, t.delta, t.msg, t.keys);
    EXPECT_EQ(w->Preview->Left(), t.want.x) << t.what;
    EXPECT_EQ(w->Preview->Top(), t.want.y) << t.what;
    EXPECT_EQ(w->PreviewArea->ScrollPosition().y, -t.want.y) << t.what << ": the bar shows it";
  }
  testing_input::TurnWheel(testing_input::MiddleOf(w->FileList->ListBox.Handle()), -WHEEL_DELTA);
  EXPECT_EQ(w->Preview->Top(), 0) << "a turn over the file list leaves the preview alone";
  EXPECT_TRUE(Showing() == ShownFor("large.xbm")) << "and converts nothing";
}

TEST_F(MainWindowTest, AFileWithoutRowsShowsNothingAndTheNextFileShowsAgain) {
  Build(folder);
  ShowInFront();
  ClickFile("large.xbm");
  PostMessageW(w->PreviewArea->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  Pump();
  ClickFile("flat.xbm");
  EXPECT_EQ(w->SizeLabel->Text(), kSizePrefix + "10x0");
  EXPECT_EQ(Picture->Width(), 10);
  EXPECT_EQ(Picture->Height(), 0);
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 10, 0})) << "nothing to see, at the top-left corner";
  EXPECT_FALSE(BarVisible(*w->PreviewArea, SB_HORZ));
  EXPECT_FALSE(BarVisible(*w->PreviewArea, SB_VERT));
  const std::string target = temp.Path() + "flat.bmp";
  AnswerSaveDialog(target);
  ASSERT_TRUE(testing_input::PostMenuCommand(w->Window->Handle(), {0, 0}));
  Pump();
  EXPECT_EQ(saveDialogs, 1);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(platform::WidenName(target))))
      << "a picture without pixels writes no file";
  ClickFile("small.xbm");
  EXPECT_EQ(w->SizeLabel->Text(), kSizePrefix + "64x48");
  EXPECT_EQ(w->Preview->Bounds(), (Rect{0, 0, 64, 48}));
}

TEST_F(MainWindowTest, AltF4EndsTheLoopWhereverTheFocusIs) {
  const struct {
    const char* where;
    HWND (*focus)(const MainWindow&);
  } cases[] = {
      {"the window itself", [](const MainWindow& m) { return m.Window->Handle(); }},
      {"the drive box", [](const MainWindow& m) { return m.DriveCombo->ComboBox.Handle(); }},
      {"the folder list", [](const MainWindow& m) { return m.FolderList->ListView.Handle(); }},
      {"the file list", [](const MainWindow& m) { return m.FileList->ListBox.Handle(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    DestroyMainWindow();
    platform::Application::Reset();
    Build(folder);
    ShowInFront();
    SetFocus(c.focus(*w));
    ASSERT_EQ(GetFocus(), c.focus(*w));
    const LPARAM altDown = static_cast<LPARAM>(KF_ALTDOWN) << 16 | 1;
    PostMessageW(GetFocus(), WM_SYSKEYDOWN, VK_F4, altDown);
    PostMessageW(GetFocus(), WM_SYSKEYUP, VK_F4, altDown | static_cast<LPARAM>(KF_UP) << 16);
    PumpFor(100);
    EXPECT_TRUE(platform::Application::Terminated()) << "the close request ended the loop";
  }
}

}  // namespace
