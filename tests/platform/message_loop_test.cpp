// The message loop as the keyboard and the mouse wheel reach it: keys and
// wheel turns are posted to the thread's queue, as the system posts them, and
// go through Application::ProcessMessages like every message of the program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/button.h"
#include "platform/combo_box.h"
#include "platform/form.h"
#include "platform/list_box.h"
#include "platform/paint_box.h"
#include "platform/panel.h"
#include "platform/scroll_box.h"
#include "tests/platform/input_driver.h"

namespace platform {
namespace {

using testing_input::PressKey;
using testing_input::SetShift;

constexpr DWORD kListStyle =
    WS_TABSTOP | WS_VSCROLL | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT;

struct DialogChild : Form {
  explicit DialogChild(Control& parent) : Form(&parent, "dialog", WS_THICKFRAME | WS_CLIPCHILDREN, 0) {}
};

// A shown window laid out like the program's: a strip holding a combo box,
// a list, a pane holding a second list, a push button, and a hidden
// captionless child window with a push button of its own.
class KeyboardTest : public testing::Test {
 protected:
  KeyboardTest() {
    Application::Reset();
    form.SetSize(500, 400);
    strip.SetBounds({0, 0, 200, 30});
    combo.SetBounds({0, 0, 180, 100});
    for (const char* drive : {"A", "C", "D"}) combo.AddItem(drive);
    combo.Select(1);
    first.SetBounds({0, 40, 200, 140});
    pane.SetBounds({0, 150, 200, 300});
    second.SetBounds({0, 0, 200, 140});
    for (const char* name : {"a.xbm", "b.xbm", "c.xbm", "d.xbm", "e.xbm"}) second.Insert(-1, name);
    button.SetPosition(300, 300);
    dialog.SetBounds({220, 20, 460, 170});
    ok.SetPosition(80, 80);
    combo.OnSelChange = [this] { events.push_back("drive " + combo.SelectedText()); };
    second.OnSelChange = [this] { events.push_back("files"); };
    button.OnClick = [this](Button&) { events.push_back("button"); };
    ok.OnClick = [this](Button&) { events.push_back("ok"); };
    form.Show();
    SetForegroundWindow(form.Handle());
    Application::ProcessMessages();
  }
  ~KeyboardTest() override {
    SetShift(false);
    Application::Reset();
  }

  std::vector<int> SelectedFiles() const {
    std::vector<int> selected;
    for (int i = 0; i < second.Count(); ++i)
      if (second.SelState(i) > 0) selected.push_back(i);
    return selected;
  }

  Form form{"keys"};
  Panel& strip = form.Add<Panel>(Edge::None);
  ComboBox& combo = strip.Add<ComboBox>();
  ListBox& first = form.Add<ListBox>(kListStyle);
  Panel& pane = form.Add<Panel>(Edge::Sunken);
  ListBox& second = pane.Add<ListBox>(kListStyle);
  Button& button = form.Add<Button>("Go");
  Form& dialog = form.Add<DialogChild>();
  Button& ok = dialog.Add<Button>("Ok");
  std::vector<std::string> events;
};

TEST_F(KeyboardTest, TabAndShiftTabGoThroughTheTabStopsInCreationOrder) {
  const struct {
    const char* what;
    bool shift;
    const Control& want;
  } steps[] = {
      {"Tab from the combo box into the next window", false, first},
      {"Tab into the pane", false, second},
      {"Tab out of the pane", false, button},
      {"Tab past the last: back to the first", false, combo},
      {"Shift+Tab before the first: the last", true, button},
      {"Shift+Tab into the pane", true, second},
      {"Shift+Tab", true, first},
  };
  SetFocus(combo.Handle());
  for (const auto& s : steps) {
    PressKey(VK_TAB, s.shift);
    EXPECT_EQ(GetFocus(), s.want.Handle()) << s.what;
  }
  EXPECT_TRUE(events.empty()) << "Tab changed no selection and clicked nothing";

  first.SetEnabled(false);
  SetFocus(combo.Handle());
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), second.Handle()) << "a disabled control is passed over";
}

TEST_F(KeyboardTest, TheListsAndTheComboBoxKeepTheirOwnKeys) {
  const struct {
    const char* what;
    WPARAM key;
    bool shift;
    std::vector<int> selected;
    int caret;
  } steps[] = {
      {"Home", VK_HOME, false, {0}, 0},
      {"Down", VK_DOWN, false, {1}, 1},
      {"Shift+Down", VK_DOWN, true, {1, 2}, 2},
      {"Shift+Down again", VK_DOWN, true, {1, 2, 3}, 3},
      {"Up", VK_UP, false, {2}, 2},
      {"End", VK_END, false, {4}, 4},
      {"Shift+Home", VK_HOME, true, {0, 1, 2, 3, 4}, 0},
  };
  SetFocus(second.Handle());
  for (const auto& s : steps) {
    events.clear();
    PressKey(s.key, s.shift);
    EXPECT_EQ(GetFocus(), second.Handle()) << s.what << ": the focus stays in the list";
    EXPECT_EQ(SelectedFiles(), s.selected) << s.what;
    EXPECT_EQ(second.CaretIndex(), s.caret) << s.what;
    EXPECT_EQ(events, std::vector<std::string>{"files"}) << s.what << ": one change reported";
  }

  SetFocus(combo.Handle());
  events.clear();
  PressKey(VK_DOWN);
  PressKey(VK_UP);
  PressKey(VK_UP);
  EXPECT_EQ(events, (std::vector<std::string>{"drive D", "drive C", "drive A"}));
  EXPECT_EQ(GetFocus(), combo.Handle());
}

TEST_F(KeyboardTest, EnterAndSpaceClickTheFocusedPushButton) {
  dialog.Show();
  const struct {
    const char* what;
    const Button& focused;
    WPARAM key;
    const char* want;
  } cases[] = {
      {"Enter on the window's button", button, VK_RETURN, "button"},
      {"Space on the window's button", button, VK_SPACE, "button"},
      {"Enter on the child window's button", ok, VK_RETURN, "ok"},
      {"Space on the child window's button", ok, VK_SPACE, "ok"},
  };
  for (const auto& c : cases) {
    events.clear();
    SetFocus(c.focused.Handle());
    PressKey(c.key);
    EXPECT_EQ(events, std::vector<std::string>{c.want}) << c.what;
  }

  // Tab inside the child window stays there: its button is its only tab stop.
  SetFocus(ok.Handle());
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), ok.Handle());
}

TEST_F(KeyboardTest, BackInFrontTheFocusReturnsToTheControlThatHadIt) {
  SetFocus(second.Handle());
  Form other("another window");
  other.SetBounds({600, 0, 800, 200});
  other.Show();
  SetForegroundWindow(other.Handle());
  SetActiveWindow(other.Handle());
  Application::ProcessMessages();
  ASSERT_EQ(GetActiveWindow(), other.Handle());
  ASSERT_NE(GetFocus(), second.Handle());
  SetForegroundWindow(form.Handle());
  SetActiveWindow(form.Handle());
  Application::ProcessMessages();
  EXPECT_EQ(GetFocus(), second.Handle()) << "have the focus on " << GetFocus() << ", want it in the list again";
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), button.Handle()) << "and Tab goes on from there";
}

// A shown window with a list on the left and, beside it, a scrolling box
// holding a picture far larger than the box.
class WheelTest : public testing::Test {
 protected:
  WheelTest() {
    Application::Reset();
    form.SetSize(600, 400);
    list.SetBounds({0, 0, 150, 300});
    for (int i = 0; i < 50; ++i) list.Insert(-1, "item " + std::to_string(i));
    box.SetBounds({160, 0, 460, 300});
    picture.SetSize(2000, 1500);
    form.Show();
    SetForegroundWindow(form.Handle());
    SetFocus(list.Handle());
    Application::ProcessMessages();
  }
  ~WheelTest() override { Application::Reset(); }

  // One notch toward the user, posted to the focused control, as the system
  // posts it, with the pointer at the middle of `area`, over `under`.
  void TurnWheelOver(const Control& area, const Control& under) {
    const POINT at = testing_input::MiddleOf(area.Handle());
    ASSERT_EQ(WindowFromPoint(at), under.Handle()) << "the pointer is not over the window meant";
    testing_input::TurnWheel(at, -WHEEL_DELTA);
  }

  Form form{"wheel"};
  ListBox& list = form.Add<ListBox>(kListStyle);
  ScrollBox& box = form.Add<ScrollBox>(Edge::Sunken);
  PaintBox& picture = box.Add<PaintBox>();
};

TEST_F(WheelTest, TheWheelScrollsWhatIsUnderThePointer) {
  TurnWheelOver(box, picture);
  EXPECT_EQ(box.ScrollPosition().y, 48) << "the box under the pointer scrolled, not the focused list";
  EXPECT_EQ(picture.Top(), -48);
  EXPECT_EQ(list.Send(LB_GETTOPINDEX), 0);
  testing_input::TurnWheel(testing_input::MiddleOf(box.Handle()), WHEEL_DELTA, WM_MOUSEHWHEEL);
  EXPECT_EQ(box.ScrollPosition().x, 48) << "a tilt to the right over the picture reaches the box too";

  TurnWheelOver(list, list);
  EXPECT_EQ(box.ScrollPosition().y, 48) << "a turn over the list leaves the box alone";
  EXPECT_GT(list.Send(LB_GETTOPINDEX), 0) << "and scrolls the list";
  EXPECT_EQ(GetFocus(), list.Handle()) << "the wheel moves no focus";
}

}  // namespace
}  // namespace platform
