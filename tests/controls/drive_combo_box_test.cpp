#include "controls/KOLWrenDriveComboBox.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/KOLWrenDirectoryListBox.h"
#include "platform/form.h"
#include "test_support.h"
#include "tests/platform/message_loop.h"

namespace {

using testing_support::Cp1251;
using testing_support::CurrentDirectory;
using testing_support::FakeDrives;
using testing_support::TempFolder;
using testing_loop::Pump;

std::vector<std::string> Items(const platform::ComboBox& combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo.Count(); ++i) items.push_back(combo.Item(i));
  return items;
}

// A form holding a drive combo box that sees the drives given; the current
// directory is a folder on drive C while the test runs.
class DriveComboBoxTest : public ::testing::Test {
 protected:
  explicit DriveComboBoxTest(std::map<char, unsigned> types = {{'A', DRIVE_REMOVABLE},
                                                               {'C', DRIVE_FIXED},
                                                               {'D', DRIVE_CDROM},
                                                               {'E', DRIVE_FIXED}})
      : drives(std::move(types)), current(temp.Path()), form("drives"), combo(NewWrenDriveComboBox(form)) {
    combo.OnChange = [this](WrenDriveComboBox& sender) {
      EXPECT_EQ(&sender, &combo);
      events.push_back(combo.Drive ? std::string(1, combo.Drive) : std::string("#0"));
    };
  }

  void Key(WPARAM key) {
    combo.ComboBox.Send(WM_KEYDOWN, key, 1);
    combo.ComboBox.Send(WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  TempFolder temp;
  FakeDrives drives;
  CurrentDirectory current;
  platform::Form form;
  WrenDriveComboBox& combo;
  std::vector<std::string> events;
};

TEST(DriveComboBoxItems, EveryDriveTypeHasItsKindText) {
  const std::string unknown = Cp1251("Тип неизвестен");
  const std::string removable = Cp1251("Сменный накопитель");
  const struct {
    unsigned type;
    std::string want;
  } cases[] = {
      {DRIVE_UNKNOWN, "Q - [" + unknown + "]"},   {DRIVE_NO_ROOT_DIR, "Q - [" + unknown + "]"},
      {DRIVE_REMOVABLE, "Q - [" + removable + "]"}, {DRIVE_FIXED, "Q - [" + Cp1251("Жесткий диск") + "]"},
      {DRIVE_REMOTE, "Q - [" + removable + "]"},    {DRIVE_CDROM, "Q - [CD]"},
      {DRIVE_RAMDISK, "Q - [" + unknown + "]"},     {7, "Q - [" + unknown + "]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrenDriveComboBox::ItemText('Q', c.type), c.want) << "drive type " << c.type;
  }
}

TEST_F(DriveComboBoxTest, ListsThePresentDrivesInLetterOrderAndSelectsTheCurrentOne) {
  EXPECT_EQ(Items(combo.ComboBox),
            (std::vector<std::string>{Cp1251("A - [Сменный накопитель]"), Cp1251("C - [Жесткий диск]"), "D - [CD]",
                                      Cp1251("E - [Жесткий диск]")}));
  EXPECT_EQ(combo.ComboBox.SelectedIndex(), 1) << "the current directory is on C";
  EXPECT_EQ(combo.Drive, 0);
  EXPECT_EQ(combo.ChangeCount, 0);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(combo.ComboBox.GetFont().height, -11);
  const DWORD style = GetWindowLongW(combo.ComboBox.Handle(), GWL_STYLE);
  EXPECT_EQ(style & (CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP | CBS_AUTOHSCROLL),
            DWORD{CBS_DROPDOWNLIST | WS_TABSTOP | CBS_AUTOHSCROLL});
}

TEST(DriveComboBoxFill, ARamDiskAfterACdIsNotShownAsACd) {
  FakeDrives drives({{'D', DRIVE_CDROM}, {'R', DRIVE_RAMDISK}, {'N', DRIVE_REMOTE}, {'U', DRIVE_UNKNOWN}});
  platform::Form form("drives");
  WrenDriveComboBox& combo = NewWrenDriveComboBox(form);
  EXPECT_EQ(Items(combo.ComboBox),
            (std::vector<std::string>{"D - [CD]", Cp1251("N - [Сменный накопитель]"), Cp1251("R - [Тип неизвестен]"),
                                      Cp1251("U - [Тип неизвестен]")}));
}

TEST(DriveComboBoxFill, NoItemIsSelectedWhenTheCurrentDriveIsNotListed) {
  TempFolder temp;  // on drive C
  FakeDrives drives({{'A', DRIVE_REMOVABLE}, {'D', DRIVE_CDROM}});
  CurrentDirectory current(temp.Path());
  platform::Form form("drives");
  WrenDriveComboBox& combo = NewWrenDriveComboBox(form);
  EXPECT_EQ(combo.ComboBox.Count(), 2);
  EXPECT_EQ(combo.ComboBox.SelectedIndex(), -1);
}

TEST(DriveComboBoxFill, TheDropDownShowsAtMostEightItems) {
  std::map<char, unsigned> many;
  for (char letter = 'C'; letter <= 'P'; ++letter) many[letter] = DRIVE_FIXED;
  FakeDrives drives(many);
  platform::Form form("drives");
  form.SetSize(300, 400);
  form.Show();
  WrenDriveComboBox& combo = NewWrenDriveComboBox(form);
  combo.SetSize(167, 19);
  combo.SetDrive('C');  // a new font: the box sizes itself again
  Pump();
  const int field = static_cast<int>(combo.ComboBox.Send(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1)));
  EXPECT_LE(combo.ComboBox.Height(), field + 8) << "the closed box keeps the height of its selection field";
  combo.ComboBox.Send(CB_SHOWDROPDOWN, TRUE);
  Pump();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo.ComboBox.Handle(), &info));
  RECT client;
  GetClientRect(info.hwndList, &client);
  const int itemHeight = static_cast<int>(combo.ComboBox.Send(CB_GETITEMHEIGHT, 0));
  ASSERT_GT(itemHeight, 0);
  EXPECT_EQ(client.bottom / itemHeight, 8) << "have " << client.bottom << " pixels of " << itemHeight
                                           << "-pixel items, want room for 8";
  combo.ComboBox.Send(CB_SHOWDROPDOWN, FALSE);
  Pump();
}

TEST_F(DriveComboBoxTest, FirstSetDriveIsSilentAndLaterOnesReport) {
  platform::Form other("folders");
  WrenDirectoryListBox& folders = NewWrenDirectoryListBox(other);
  combo.DirectoryList = &folders;

  combo.SetDrive('E');
  EXPECT_EQ(combo.Drive, 'E');
  EXPECT_EQ(combo.ComboBox.SelectedIndex(), 3);
  EXPECT_EQ(combo.ChangeCount, 1);
  EXPECT_TRUE(events.empty()) << "the first SetDrive reported";
  EXPECT_EQ(folders.ChangeCount, 0) << "the first SetDrive touched the directory list";

  combo.SetDrive('c');
  EXPECT_EQ(combo.Drive, 'c') << "the letter is stored as passed";
  EXPECT_EQ(combo.ComboBox.SelectedIndex(), 1);
  EXPECT_EQ(combo.ChangeCount, 2);
  EXPECT_EQ(events, (std::vector<std::string>{"c"}));
  EXPECT_EQ(folders.Path, "c:\\") << "the directory list shows the drive's root";

  combo.SetDrive('X');
  EXPECT_EQ(combo.Drive, 'c');
  EXPECT_EQ(combo.ComboBox.SelectedIndex(), 1);
  EXPECT_EQ(combo.ChangeCount, 2);
  EXPECT_EQ(events, (std::vector<std::string>{"c", "c"})) << "a missing letter still reports the old drive";
}

TEST_F(DriveComboBoxTest, AMissingLetterBeforeAnyFoundOneReportsCodeZero) {
  const int selectedAtStart = combo.ComboBox.SelectedIndex();
  combo.SetDrive('Z');
  combo.SetDrive('Z');
  EXPECT_EQ(events, (std::vector<std::string>{"#0"})) << "the second call reports the drive never found";
  EXPECT_EQ(combo.Drive, 0);
  EXPECT_EQ(combo.ComboBox.SelectedIndex(), selectedAtStart);
}

TEST_F(DriveComboBoxTest, SetDriveAppliesColorAndFont) {
  EXPECT_FALSE(combo.ComboBox.HasColor());
  combo.SetDrive('E');
  EXPECT_TRUE(combo.ComboBox.HasColor());
  EXPECT_EQ(combo.ComboBox.Color(), 0u) << "Color left at 0 gives black";
  EXPECT_EQ(combo.ComboBox.GetFont().height, 0) << "the default Font replaces the -11 of construction";

  // The selection field and the dropped-down list are painted in that colour.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo.ComboBox.Handle(), &info));
  HDC dc = CreateCompatibleDC(nullptr);
  for (const auto& [to, from] : {std::pair{form.Handle(), combo.ComboBox.Handle()},
                                 std::pair{combo.ComboBox.Handle(), info.hwndList}}) {
    SetBkColor(dc, RGB(255, 255, 255));
    EXPECT_NE(SendMessageW(to, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(from)), 0);
    EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 0));
  }
  DeleteDC(dc);

  combo.Color = RGB(255, 255, 255);
  combo.Font.height = -11;
  combo.Font.bold = true;
  combo.SetDrive('E');
  EXPECT_EQ(combo.ComboBox.Color(), RGB(255, 255, 255));
  EXPECT_EQ(combo.ComboBox.GetFont(), combo.Font);
}

TEST_F(DriveComboBoxTest, AfterTheStartUpCallEveryUserPickReportsTwice) {
  combo.SetDrive('E');
  ASSERT_EQ(combo.ComboBox.SelectedIndex(), 3);
  Key(VK_HOME);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(events, (std::vector<std::string>{"A", "A", "C", "C", "D", "D"}))
      << "every item passed over is reported, twice";
  EXPECT_EQ(combo.Drive, 'D');
}

TEST_F(DriveComboBoxTest, WithoutTheStartUpCallTheFirstPickReportsOnce) {
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(events, (std::vector<std::string>{"D", "E", "E"}));
}

TEST_F(DriveComboBoxTest, AUserPickShowsTheDriveInTheLinkedDirectoryList) {
  platform::Form other("folders");
  WrenDirectoryListBox& folders = NewWrenDirectoryListBox(other);
  combo.DirectoryList = &folders;
  combo.SetDrive('E');
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(combo.Drive, 'C');
  EXPECT_EQ(folders.Path, "C:\\");
  EXPECT_EQ(folders.ListView.RowText(0), "C:");
}

}  // namespace
