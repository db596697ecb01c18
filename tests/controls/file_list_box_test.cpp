#include "controls/KOLWrenFileListBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/form.h"
#include "test_support.h"
#include "tests/platform/message_loop.h"

namespace {

using testing_support::TempFolder;
using testing_loop::Pump;

constexpr uint16_t kMainWindowOptions = 0x1A;

std::vector<std::string> Items(const WrenFileListBox& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Item(i));
  return items;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// A form holding one file list box with the main window's options, and a
// folder of sprites: hidden and system ones, a folder named like a sprite,
// upper-case, Cyrillic and many-dotted names, and a file of another kind.
class FileListBoxTest : public ::testing::Test {
 protected:
  FileListBoxTest() : form("file list"), list(NewWrenFileListBox(form, kMainWindowOptions)) {
    form.SetSize(300, 400);
    list.ListBox.SetBounds({0, 0, 200, 200});
    list.OnChange = [this](WrenFileListBox& sender) {
      EXPECT_EQ(&sender, &list);
      events.push_back("change " + list.CurrentItem());
    };
    list.Mask = "*.xbm";
    sprites = temp.MakeFolder("Sprites");
    temp.MakeFile("Sprites\\Hero01.XBM");
    temp.MakeFile("Sprites\\tile.xbm");
    temp.MakeFile("Sprites\\ГеройA.xbm");
    temp.MakeFile("Sprites\\a.b.c.xbm");
    temp.MakeFile("Sprites\\hidden.xbm", FILE_ATTRIBUTE_HIDDEN);
    temp.MakeFile("Sprites\\system.xbm", FILE_ATTRIBUTE_SYSTEM);
    temp.MakeFile("Sprites\\readonly.xbm", FILE_ATTRIBUTE_READONLY);
    temp.MakeFile("Sprites\\readme.txt");
    temp.MakeFolder("Sprites\\tiles.xbm");
  }

  // Clicks item `index` with the mouse; `keys` adds MK_CONTROL or MK_SHIFT.
  void Click(int index, WPARAM keys = 0) {
    RECT rc{};
    list.ListBox.Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM(rc.left + 5, (rc.top + rc.bottom) / 2);
    list.ListBox.Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
    list.ListBox.Send(WM_LBUTTONUP, keys, at);
    Pump();
  }

  int IndexOf(const std::string& name) const {
    for (int i = 0; i < list.Count(); ++i)
      if (list.Item(i) == name) return i;
    return -1;
  }

  TempFolder temp;
  platform::Form form;
  WrenFileListBox& list;
  std::string sprites;
  std::vector<std::string> events;
};

TEST_F(FileListBoxTest, ListsTheMatchingFilesOfEveryAttributeInTheCaseAsked) {
  ASSERT_TRUE(temp.HasAttributes("Sprites\\hidden.xbm", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(temp.HasAttributes("Sprites\\system.xbm", FILE_ATTRIBUTE_SYSTEM));
  const std::string hero = "ГеройA.xbm";
  const struct {
    int32_t caseMode;
    std::vector<std::string> want;
  } cases[] = {
      {0, {"Hero01.XBM", "tile.xbm", hero, "a.b.c.xbm", "hidden.xbm", "system.xbm", "readonly.xbm"}},
      {1, {"hero01.xbm", "tile.xbm", "Геройa.xbm", "a.b.c.xbm", "hidden.xbm", "system.xbm", "readonly.xbm"}},
      {2, {"HERO01.XBM", "TILE.XBM", "ГеройA.XBM", "A.B.C.XBM", "HIDDEN.XBM", "SYSTEM.XBM", "READONLY.XBM"}},
      {7, {"Hero01.XBM", "tile.xbm", hero, "a.b.c.xbm", "hidden.xbm", "system.xbm", "readonly.xbm"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("CaseMode " + std::to_string(c.caseMode));
    list.CaseMode = c.caseMode;
    list.SetPath(sprites);
    EXPECT_EQ(list.Path, sprites) << "the folder is kept exactly as passed";
    EXPECT_EQ(Sorted(Items(list)), Sorted(c.want));
  }
}

// Every listed name is the name of the file it stands for: a look-alike would
// open another file ("cafe.xbm" for "café.xbm") or none ("??.xbm" for "日本.xbm").
TEST_F(FileListBoxTest, NamesBeyondWindows1251AreListedAsTheyAreAndOpenTheirOwnFile) {
  const std::string folder = temp.MakeFolder("Спрайты");
  const struct {
    std::string onDisk;
    std::string listed;  // with ASCII letters in lower case
  } files[] = {
      {"cafe.xbm", "cafe.xbm"}, {"café.xbm", "café.xbm"},   {"日本.xbm", "日本.xbm"},
      {"🐉.xbm", "🐉.xbm"},     {"ÉCOLE.XBM", "École.xbm"}, {"Ёлка.xbm", "Ёлка.xbm"},
  };
  std::vector<std::string> want;
  for (const auto& file : files) {
    temp.MakeFileWith("Спрайты\\" + file.onDisk, "content of " + file.onDisk);
    want.push_back(file.listed);
  }
  list.CaseMode = WrenFileListBox::kCaseLower;
  list.SetPath(folder);
  ASSERT_EQ(Sorted(Items(list)), Sorted(want));
  for (const auto& file : files) {
    const int index = IndexOf(file.listed);
    ASSERT_GE(index, 0) << file.listed;
    Click(index);
    EXPECT_EQ(list.CurrentItem(), file.listed);
    EXPECT_EQ(temp.Content(list.Path + list.CurrentItem()), "content of " + file.onDisk);
  }
}

TEST_F(FileListBoxTest, AFolderWithoutTheFinalBackslashIsKeptAsPassed) {
  const std::string folder = sprites.substr(0, sprites.size() - 1);
  list.SetPath(folder);
  EXPECT_EQ(list.Path, folder);
  EXPECT_EQ(list.Count(), 7);
}

TEST_F(FileListBoxTest, SetMaskListsTheSameFolderAgain) {
  list.SetPath(sprites);
  list.SetMask("*.txt");
  EXPECT_EQ(list.Mask, "*.txt");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"readme.txt"}));
}

TEST_F(FileListBoxTest, AMissingFolderEmptiesPathAndKeepsTheList) {
  list.SetPath(sprites);
  Click(0);
  const std::vector<std::string> before = Items(list);
  temp.Remove("Sprites");
  list.SetPath(sprites);
  EXPECT_EQ(list.Path, "");
  EXPECT_EQ(Items(list), before);
  EXPECT_TRUE(list.Selected(0)) << "the selection stays too";
}

TEST_F(FileListBoxTest, SelectionQueriesAtTheirBoundaries) {
  EXPECT_EQ(list.SelectedCount(), -1) << "empty list";
  EXPECT_FALSE(list.Selected(0));
  EXPECT_EQ(list.CurrentItem(), "");
  EXPECT_EQ(list.Item(0), "");

  list.SetPath(sprites);
  const int count = list.Count();
  ASSERT_EQ(count, 7);
  EXPECT_EQ(list.SelectedCount(), 0) << "filled list, nothing selected";
  list.ListBox.Send(LB_SETSEL, TRUE, 0);
  list.ListBox.Send(LB_SETSEL, TRUE, count - 1);
  EXPECT_EQ(list.SelectedCount(), 2);
  EXPECT_TRUE(list.Selected(0));
  EXPECT_TRUE(list.Selected(count - 1));
  EXPECT_FALSE(list.Selected(count)) << "one past the last";
  EXPECT_FALSE(list.Selected(-1));
  EXPECT_EQ(list.Item(count), "");
  EXPECT_EQ(list.Item(-1), "");
}

TEST_F(FileListBoxTest, OnlyUserChangesReportAndCtrlClickKeepsTheCurrentItem) {
  list.SetCurIndex(0);
  list.SetPath(sprites);
  list.SetCurIndex(2);
  EXPECT_TRUE(events.empty()) << "SetPath and SetCurIndex reported " << events.size() << " events";

  Click(1);
  const std::string second = list.Item(1);
  EXPECT_EQ(events, (std::vector<std::string>{"change " + second}));
  EXPECT_EQ(list.SelectedCount(), 1);

  Click(3, MK_CONTROL);
  EXPECT_EQ(list.SelectedCount(), 2);
  Click(3, MK_CONTROL);  // deselects it again
  EXPECT_FALSE(list.Selected(3));
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_EQ(list.CurrentItem(), list.Item(3)) << "the deselected item keeps the focus";
  EXPECT_EQ(events.size(), 3u);
  EXPECT_EQ(events.back(), "change " + list.Item(3));
}

TEST_F(FileListBoxTest, CurrentItemIsTheItemWithTheFocusRectangleUnderKeysAndClicks) {
  list.SetPath(sprites);
  ASSERT_EQ(list.Count(), 7);
  struct Step {
    const char* what;
    int click;       // the item clicked, or -1 for a key
    WPARAM keys;     // MK_CONTROL or MK_SHIFT with a click
    WPARAM key;      // the key pressed when no item is clicked
    int want;        // the item with the focus rectangle afterwards
  };
  const Step steps[] = {
      {"click", 1, 0, 0, 1},
      {"Down", -1, 0, VK_DOWN, 2},
      {"click after the key", 4, 0, 0, 4},
      {"Ctrl+click", 0, MK_CONTROL, 0, 0},
      {"Ctrl+click that deselects", 0, MK_CONTROL, 0, 0},
      {"Shift+click", 3, MK_SHIFT, 0, 3},
      {"Up", -1, 0, VK_UP, 2},
      {"End", -1, 0, VK_END, 6},
      {"click", 5, 0, 0, 5},
  };
  for (const Step& s : steps) {
    events.clear();
    if (s.click >= 0) {
      Click(s.click, s.keys);
    } else {
      list.ListBox.Send(WM_KEYDOWN, s.key, 1);
      list.ListBox.Send(WM_KEYUP, s.key, 0xC0000001);
      Pump();
    }
    const int caret = static_cast<int>(list.ListBox.Send(LB_GETCARETINDEX));
    EXPECT_EQ(caret, s.want) << s.what << ": the focus rectangle is on " << caret;
    EXPECT_EQ(list.CurrentItem(), list.Item(s.want))
        << s.what << ": have " << list.CurrentItem() << ", want " << list.Item(s.want);
    EXPECT_EQ(events, (std::vector<std::string>{"change " + list.Item(s.want)})) << s.what;
  }
}

TEST_F(FileListBoxTest, SetSelAndTheSelChangeNotificationReportOnce) {
  list.SetPath(sprites);
  list.ListBox.Send(LB_SETSEL, TRUE, 4);
  EXPECT_TRUE(events.empty());
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list.ListBox.Handle()));
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(FileListBoxTest, IntegralHeightSnapsToWholeRows) {
  const struct {
    int height;
    bool integral;
    int want;
  } cases[] = {{200, true, 202}, {100, true, 104}, {202, true, 202}, {200, false, 200}};
  for (const auto& c : cases) {
    list.ListBox.SetHeight(c.height);
    list.SetIntegralHeight(c.integral);
    EXPECT_EQ(list.IntegralHeight, c.integral);
    EXPECT_EQ(list.ListBox.Height(), c.want) << "from " << c.height;
  }
}

TEST_F(FileListBoxTest, OptionBitsSelectTheListBoxStyles) {
  const struct {
    uint16_t options;
    DWORD want;
  } cases[] = {
      {0x001, LBS_DISABLENOSCROLL},         {0x002, LBS_EXTENDEDSEL},    {0x004, LBS_MULTICOLUMN | WS_HSCROLL},
      {0x008, LBS_MULTIPLESEL},             {0x010, LBS_NOINTEGRALHEIGHT}, {0x020, LBS_NOSEL},
      {0x040, LBS_SORT},                    {0x080, LBS_USETABSTOPS},    {0x100, 0},
      {0x200, LBS_NODATA},                  {0x400, LBS_OWNERDRAWFIXED}, {0x800, LBS_OWNERDRAWVARIABLE},
      {0x1A, LBS_EXTENDEDSEL | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT},
  };
  const DWORD base = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS;
  for (const auto& c : cases) {
    EXPECT_EQ(WrenFileListBox::StyleFor(c.options), base | c.want) << "options 0x" << std::hex << c.options;
  }
  // The system drops WS_VSCROLL from the window style while no scroll bar is needed.
  const DWORD style = GetWindowLongW(list.ListBox.Handle(), GWL_STYLE);
  const DWORD want = (base & ~WS_VSCROLL) | LBS_EXTENDEDSEL | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT;
  EXPECT_EQ(style & want, want);
  EXPECT_EQ(list.ListBox.GetFont().height, -11);
}

TEST_F(FileListBoxTest, ColorReachesTheListAtEverySuccessfulSetPath) {
  EXPECT_FALSE(list.ListBox.HasColor());
  list.Color = platform::SystemColor(COLOR_WINDOW);
  list.SetPath(sprites);
  EXPECT_EQ(list.ListBox.Color(), platform::SystemColor(COLOR_WINDOW));
  list.Color = 0x00112233;
  list.SetPath(temp.Path() + "missing");
  EXPECT_EQ(list.ListBox.Color(), platform::SystemColor(COLOR_WINDOW)) << "a missing folder applies nothing";
}

}  // namespace
