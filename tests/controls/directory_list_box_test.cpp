#include "controls/KOLWrenDirectoryListBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <commctrl.h>

#include "platform/form.h"
#include "test_support.h"
#include "tests/platform/message_loop.h"

namespace {

using testing_support::FakeDrives;
using testing_support::TempFolder;
using testing_loop::Pump;

struct Row {
  std::string text;
  int image;
  int indent;
  friend bool operator==(const Row&, const Row&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{\"" << row.text << "\", image " << row.image << ", indent " << row.indent << "}";
  }
};

std::vector<Row> Rows(const platform::ListView& list) {
  std::vector<Row> rows;
  for (int i = 0; i < list.Count(); ++i) rows.push_back({list.RowText(i), list.RowImage(i), list.RowIndent(i)});
  return rows;
}

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t slash; (slash = path.find('\\', start)) != std::string::npos; start = slash + 1)
    parts.push_back(path.substr(start, slash - start));
  return parts;
}

// A form holding one directory list box, and a folder tree made for the test:
//   <temp>\Games\Art\ with subfolders of many kinds and a file.
class DirectoryListBoxTest : public ::testing::Test {
 protected:
  DirectoryListBoxTest() : form("directory list"), list(NewWrenDirectoryListBox(form)) {
    form.SetSize(300, 400);
    list.SetSize(200, 184);
    list.OnChange = [this](WrenDirectoryListBox& sender) {
      EXPECT_EQ(&sender, &list);
      events.push_back("change " + list.Path);
    };
    list.OnEnterFolder = [this](WrenDirectoryListBox& sender, const platform::MouseEvent& mouse) {
      EXPECT_EQ(&sender, &list);
      events.push_back("enter " + list.Path);
      mice.push_back(mouse);
    };
    art = temp.MakeFolder("Games\\Art");
    games = temp.Path() + "Games\\";
    for (const char* name : {"Heroes", "alpha", "Beta", "GAMMA.v1.old", "tiles.xbm"}) temp.MakeFolder("Games\\Art\\" + std::string(name));
    for (const char* name : {"Яблоко", "арбуз", "Жук", "Ёлка"}) temp.MakeFolder("Games\\Art\\" + std::string(name));
    temp.MakeFolder("Games\\Art\\Hidden", FILE_ATTRIBUTE_HIDDEN);
    temp.MakeFolder("Games\\Art\\Sys", FILE_ATTRIBUTE_SYSTEM);
    temp.MakeFile("Games\\Art\\Hero01.XBM");
    temp.MakeFile("Games\\Art\\notes.txt", FILE_ATTRIBUTE_HIDDEN);
  }

  // The hierarchy rows of `folder` (ending in "\") as the list shows them.
  static std::vector<Row> HierarchyRows(const std::string& folder, bool indent) {
    std::vector<Row> rows;
    const std::vector<std::string> parts = Split(folder);
    for (size_t depth = 0; depth < parts.size(); ++depth) {
      rows.push_back({parts[depth], depth == 0 ? WrenDirectoryListBox::kHardDisk : WrenDirectoryListBox::kOpenFolder,
                      indent ? static_cast<int>(depth) : 0});
    }
    return rows;
  }

  // Selects `row` with a real left click, as a user would. The messages are
  // queued, since the list view looks for the button's release in the queue.
  void ClickRow(int row) {
    RECT rc{LVIR_BOUNDS, 0, 0, 0};
    list.ListView.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM(rc.left + 40, (rc.top + rc.bottom) / 2);
    PostMessageW(list.ListView.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list.ListView.Handle(), WM_LBUTTONUP, 0, at);
    Pump();
  }

  void DoubleClick(UINT message, int row) {
    RECT rc{LVIR_BOUNDS, 0, 0, 0};
    list.ListView.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    DoubleClickAt(message, rc.left + 40, (rc.top + rc.bottom) / 2);
  }

  void DoubleClickAt(UINT message, int x, int y) {
    const WPARAM keys = message == WM_LBUTTONDBLCLK ? MK_LBUTTON : message == WM_RBUTTONDBLCLK ? MK_RBUTTON : MK_MBUTTON;
    list.ListView.Send(message, keys, MAKELPARAM(x, y));
    Pump();
  }

  TempFolder temp;
  platform::Form form;
  WrenDirectoryListBox& list;
  std::string games, art;
  std::vector<std::string> events;
  std::vector<platform::MouseEvent> mice;
};

std::vector<std::string> ArtSubfolders() {
  // Ignoring case, in the user's locale: Latin before Cyrillic, Ё right after Е.
  return {"alpha", "Beta", "GAMMA.v1.old", "Heroes", "Hidden", "Sys", "tiles.xbm",
          "арбуз", "Ёлка", "Жук", "Яблоко"};
}

TEST_F(DirectoryListBoxTest, RowsShowTheHierarchyThenTheSortedSubfolders) {
  ASSERT_TRUE(temp.HasAttributes("Games\\Art\\Hidden", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(temp.HasAttributes("Games\\Art\\Sys", FILE_ATTRIBUTE_SYSTEM));
  for (const bool indent : {true, false}) {
    SCOPED_TRACE(indent ? "Indent true" : "Indent false");
    list.Indent = indent;
    list.SetPath(art);
    std::vector<Row> want = HierarchyRows(art, indent);
    const int levels = static_cast<int>(want.size());
    for (const std::string& name : ArtSubfolders()) want.push_back({name, WrenDirectoryListBox::kClosedFolder, indent ? levels : 1});
    EXPECT_EQ(list.Path, art);
    EXPECT_EQ(list.Levels, levels);
    EXPECT_EQ(Rows(list.ListView), want);
  }
}

TEST_F(DirectoryListBoxTest, AFolderWithOrWithoutTheFinalBackslashGivesTheSameRows) {
  list.Indent = true;
  list.SetPath(art.substr(0, art.size() - 1));
  const std::vector<Row> without = Rows(list.ListView);
  EXPECT_EQ(list.Path, art);
  list.SetPath(art);
  EXPECT_EQ(Rows(list.ListView), without);
  EXPECT_EQ(list.Path, art);
}

TEST_F(DirectoryListBoxTest, ADriveLetterListsTheRootWithOneHierarchyRow) {
  for (const bool indent : {true, false}) {
    SCOPED_TRACE(indent ? "Indent true" : "Indent false");
    list.Indent = indent;
    list.SetPath("C");
    EXPECT_EQ(list.Path, "C:\\");
    ASSERT_EQ(list.Levels, 1);
    const std::vector<Row> rows = Rows(list.ListView);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], (Row{"C:", WrenDirectoryListBox::kHardDisk, 0}));
    for (size_t i = 1; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].image, WrenDirectoryListBox::kClosedFolder) << rows[i];
      EXPECT_EQ(rows[i].indent, 1) << rows[i];
    }
  }
}

TEST_F(DirectoryListBoxTest, TheDriveRowShowsThePictureOfTheDriveType) {
  const struct {
    unsigned type;
    int image;
  } cases[] = {
      {DRIVE_REMOVABLE, WrenDirectoryListBox::kFloppy}, {DRIVE_CDROM, WrenDirectoryListBox::kCdRom},
      {DRIVE_REMOTE, WrenDirectoryListBox::kNetwork},   {DRIVE_RAMDISK, WrenDirectoryListBox::kHardDisk},
      {DRIVE_FIXED, WrenDirectoryListBox::kHardDisk},   {DRIVE_UNKNOWN, WrenDirectoryListBox::kHardDisk},
      {DRIVE_NO_ROOT_DIR, WrenDirectoryListBox::kHardDisk}, {9, WrenDirectoryListBox::kHardDisk},
  };
  for (const auto& c : cases) {
    FakeDrives drives({{art[0], c.type}});
    list.SetPath(art);
    ASSERT_GT(list.ListView.Count(), 1);
    EXPECT_EQ(list.ListView.RowImage(0), c.image) << "drive type " << c.type << ": have image "
                                                  << list.ListView.RowImage(0) << ", want " << c.image;
    EXPECT_EQ(list.ListView.RowImage(1), WrenDirectoryListBox::kOpenFolder);
  }
}

TEST_F(DirectoryListBoxTest, FirstSetPathIsSilentEveryLaterOneReportsEvenForAMissingFolder) {
  list.SetPath(art);
  EXPECT_EQ(list.ChangeCount, 1);
  EXPECT_TRUE(events.empty()) << "first SetPath reported " << events.size() << " events";
  list.SetPath(games);
  list.SetPath(temp.Path() + "missing");
  EXPECT_EQ(list.ChangeCount, 2);
  EXPECT_EQ(events, (std::vector<std::string>{"change " + games, "change "}));
  EXPECT_EQ(list.Path, "");
  EXPECT_EQ(list.ListView.Count(), 0) << "a missing folder leaves the list empty";
  EXPECT_EQ(list.ListView.ColumnWidth(0), list.ListView.ClientRect().Width())
      << "the column fills the list also after a missing folder";
}

TEST_F(DirectoryListBoxTest, ColorIsTheBackgroundAndTextBackground) {
  for (const uint32_t color : {0x00336699u, platform::SystemColor(COLOR_WINDOW)}) {
    list.Color = color;
    list.SetPath(art);
    EXPECT_EQ(static_cast<COLORREF>(list.ListView.Send(LVM_GETBKCOLOR)), platform::ResolveColor(color));
    EXPECT_EQ(static_cast<COLORREF>(list.ListView.Send(LVM_GETTEXTBKCOLOR)), platform::ResolveColor(color));
  }
}

TEST_F(DirectoryListBoxTest, ImagesAreTheSixPicturesOfTheIconsStrip) {
  auto images = reinterpret_cast<HIMAGELIST>(list.ListView.Send(LVM_GETIMAGELIST, LVSIL_SMALL));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 6);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  const DWORD style = GetWindowLongW(list.ListView.Handle(), GWL_STYLE);
  const DWORD want = LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE |
                     LVS_SHAREIMAGELISTS | WS_TABSTOP | WS_VISIBLE;
  EXPECT_EQ(style & want, want);
  const DWORD exStyle = static_cast<DWORD>(list.ListView.Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
  EXPECT_EQ(exStyle & (LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP), DWORD{LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP});
}

TEST_F(DirectoryListBoxTest, DoubleClickOfAnyButtonEntersTheSelectedFolder) {
  const UINT buttons[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
  for (const UINT button : buttons) {
    SCOPED_TRACE(button);
    list.Indent = true;
    list.SetPath(art);
    const int levels = list.Levels;
    events.clear();
    mice.clear();

    // A hierarchy row: Games, one above Art.
    list.ListView.SetSelected(levels - 2, true);
    DoubleClick(button, levels - 2);
    EXPECT_EQ(events, (std::vector<std::string>{"change " + games, "enter " + games}));
    ASSERT_EQ(mice.size(), 1u);
    EXPECT_EQ(mice[0].message, button);

    // A subfolder row: Art, below the hierarchy of Games.
    const int artRow = list.Levels;
    ASSERT_EQ(list.ListView.RowText(artRow), "Art");
    list.ListView.SetSelected(artRow, true);
    DoubleClick(button, artRow);
    EXPECT_EQ(list.Path, art);

    // The row of the current folder lists it again.
    list.ListView.SetSelected(list.Levels - 1, true);
    events.clear();
    DoubleClick(button, list.Levels - 1);
    EXPECT_EQ(events, (std::vector<std::string>{"change " + art, "enter " + art}));
  }
}

TEST_F(DirectoryListBoxTest, RealClicksSelectAndEnterASubfolder) {
  form.Show();
  list.IntegralHeight = false;
  list.SetSize(200, 380);
  list.Indent = true;
  list.SetPath(art);
  const int heroes = list.Levels + 3;
  ASSERT_EQ(list.ListView.RowText(heroes), "Heroes");
  ClickRow(heroes);
  EXPECT_EQ(list.ListView.NextSelected(), heroes);
  DoubleClick(WM_LBUTTONDBLCLK, heroes);
  EXPECT_EQ(list.Path, art + "Heroes\\");
  EXPECT_EQ(events, (std::vector<std::string>{"change " + art + "Heroes\\", "enter " + art + "Heroes\\"}));
}

TEST_F(DirectoryListBoxTest, DoubleClickWithoutASelectedRowDoesNothing) {
  list.IntegralHeight = false;
  list.SetSize(200, 400);
  list.SetPath(art);
  list.SetPath(art);
  events.clear();
  ASSERT_EQ(list.ListView.NextSelected(), -1);
  // Below the last row, so that no row gets selected by the click itself.
  RECT last{LVIR_BOUNDS, 0, 0, 0};
  list.ListView.Send(LVM_GETITEMRECT, static_cast<WPARAM>(list.ListView.Send(LVM_GETITEMCOUNT) - 1),
                     reinterpret_cast<LPARAM>(&last));
  ASSERT_LT(last.bottom + 8, list.ListView.ClientRect().bottom) << "the list must show empty space below its rows";
  DoubleClickAt(WM_LBUTTONDBLCLK, last.left + 40, last.bottom + 8);
  ASSERT_EQ(list.ListView.NextSelected(), -1);
  EXPECT_TRUE(events.empty()) << "have " << events.size() << " events, want none";
  EXPECT_EQ(list.Path, art);
}

// Names that Windows-1251 cannot hold are shown and entered as they are: a
// look-alike ("cafe" for "café") would be another folder, here an existing one.
TEST_F(DirectoryListBoxTest, NamesBeyondWindows1251AreShownAndEnteredAsTheyAre) {
  const std::string sprites = temp.MakeFolder("Спрайты");
  const std::vector<std::string> names = {"cafe", "café", "日本", "🐉 dragons"};
  for (const std::string& name : names) temp.MakeFolder("Спрайты\\" + name);
  list.Indent = true;
  list.SetPath(sprites);
  ASSERT_EQ(list.Path, sprites);
  EXPECT_EQ(list.ListView.RowText(list.Levels - 1), "Спрайты");
  std::vector<std::string> shown;
  for (int row = list.Levels; row < list.ListView.Count(); ++row) shown.push_back(list.ListView.RowText(row));
  std::vector<std::string> sorted = shown;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::string> want = names;
  std::sort(want.begin(), want.end());
  EXPECT_EQ(sorted, want);

  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    list.SetPath(sprites);
    const auto at = std::find(shown.begin(), shown.end(), name);
    ASSERT_NE(at, shown.end());
    const int row = list.Levels + static_cast<int>(at - shown.begin());
    list.ListView.SetSelected(row, true);
    DoubleClick(WM_LBUTTONDBLCLK, row);
    EXPECT_EQ(list.Path, sprites + name + "\\");
    EXPECT_EQ(list.ListView.RowText(list.Levels - 1), name) << "the entered folder is the last hierarchy row";
  }
}

TEST_F(DirectoryListBoxTest, OnlyTheFirstSetPathSnapsTheHeight) {
  const struct {
    int height;
    bool integral;
    int want;
  } cases[] = {{184, true, 177}, {176, true, 177}, {200, true, 193}, {184, false, 184}};
  for (const auto& c : cases) {
    platform::Form owner("snap");
    WrenDirectoryListBox& fresh = NewWrenDirectoryListBox(owner);
    fresh.SetSize(167, c.height);
    fresh.IntegralHeight = c.integral;
    fresh.SetPath(art);
    EXPECT_EQ(fresh.ListView.Height(), c.want) << "height " << c.height << " integral " << c.integral;
    fresh.IntegralHeight = true;
    fresh.SetSize(167, c.height);
    fresh.SetPath(art);
    EXPECT_EQ(fresh.ListView.Height(), c.height) << "a later SetPath keeps the height";
  }
}

}  // namespace
