// The about dialog inside the running main window: its layout, the modal
// wait with the panes disabled, the links, and the ways the wait ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "app/MainUnit.h"
#include "app/WrenAboutDialog.h"
#include "controls/KOLWrenFileListBox.h"
#include "platform/application.h"
#include "platform/button.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/menu.h"
#include "platform/panel.h"
#include "platform/scroll_box.h"
#include "platform/shell.h"
#include "tests/platform/input_driver.h"
#include "tests/platform/message_loop.h"

namespace {

using platform::Control;
using platform::Rect;

constexpr int kSaveItem = 1;
constexpr int kAboutItem = 4;
constexpr uint32_t kDefaultText = platform::SystemColor(COLOR_WINDOWTEXT);

void Click(const Control& control) {
  control.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  control.Send(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// The main window, shown, so that its show event has built the dialog. A
// watchdog ends a modal wait that a failing test would leave open.
class AboutDialog : public testing::Test {
 protected:
  void SetUp() override {
    platform::Application::Reset();
    NewMainWindow(AppMain, nullptr);
    main = AppMain;
    main->Window->Show();
    RunLater(
        [] {
          if (AboutForm && AboutForm->Visible()) {
            ADD_FAILURE() << "the modal wait was still open after 10 s";
            AboutForm->SetModalResult(-1);
          }
        },
        10000);
  }

  void TearDown() override {
    platform::ShellOpener = &platform::ShellExecuteOpen;
    DestroyMainWindow();
    platform::Application::Reset();
  }

  // A click on "О Программе..." of the menu bar: the command arrives as WM_COMMAND
  // and runs inside the message loop; this returns when the loop has done it.
  void ChooseAbout() {
    ASSERT_TRUE(testing_input::PostMenuCommand(main->Window->Handle(), {1}));
    platform::Application::ProcessMessages();
  }

  bool PanesEnabled() const {
    return main->LeftPane->Enabled() && main->StatusStrip->Enabled() && main->PreviewArea->Enabled();
  }
  bool PanesDisabled() const {
    return !main->LeftPane->Enabled() && !main->StatusStrip->Enabled() && !main->PreviewArea->Enabled();
  }

  // A task for the modal wait that the test is about to start.
  void RunLater(std::function<void()> task, UINT delayMs = 20) { tasks.RunLater(std::move(task), delayMs); }

  MainWindow* main = nullptr;
  testing_loop::LoopTasks tasks;
};

TEST_F(AboutDialog, IsBuiltHiddenOnTheFirstShowWithItsLayout) {
  ASSERT_NE(AboutForm, nullptr) << "the show event of the main window builds the dialog";
  EXPECT_EQ(AboutForm->Parent(), main->Window);
  EXPECT_FALSE(AboutForm->Visible());
  EXPECT_EQ(AboutForm->Text(), "\xCE \xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5...");  // "О Программе..."
  const LONG style = GetWindowLongW(AboutForm->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_EQ(style & (WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0) << "no title bar, no boxes";
  EXPECT_EQ(AboutForm->Width(), 240);
  EXPECT_EQ(AboutForm->Height(), 150);

  const Rect client = AboutForm->ClientRect();
  struct Row {
    const char* what;
    std::string text;
    Rect bounds;
    int fontHeight;
    bool bold, underline;
    uint32_t color;
  };
  const int w = client.Width(), h = client.Height();
  const std::vector<Row> rows = {
      {"ProductLabel", "", {0, 0, w, 22}, -14, true, false, RGB(0, 128, 0)},
      {"date caption", "\xC4\xE0\xF2\xE0:", {2, 26, 42, 48}, -11, false, false, kDefaultText},
      {"DateLabel", "", {42, 26, 242, 48}, -11, false, false, RGB(0, 0, 128)},
      {"author caption", "\xC0\xE2\xF2\xEE\xF0:", {2, 48, 42, 70}, -11, false, false, kDefaultText},
      {"AuthorLabel", "", {42, 48, 242, 70}, -11, false, false, RGB(0, 0, 128)},
      {"mail caption", "E-mail:", {2, 70, 42, 92}, -11, false, false, kDefaultText},
      {"MailLabel", "", {42, 70, 242, 87}, -11, false, true, RGB(0, 0, 255)},
      {"web caption", "Web:", {2, 92, 42, 114}, -11, false, false, kDefaultText},
      {"WebLabel", "", {42, 92, 242, 109}, -11, false, true, RGB(0, 0, 255)},
      {"OkButton", "Ok", {w / 2 - 32, h - 30, w / 2 + 32, h - 8}, -11, false, false, kDefaultText},
  };
  const auto& children = AboutForm->Children();
  ASSERT_EQ(children.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const Control& control = *children[i];
    SCOPED_TRACE(row.what);
    EXPECT_EQ(control.Text(), row.text);
    const Rect b = control.Bounds();
    EXPECT_EQ(b, row.bounds) << "have (" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom
                             << "), want (" << row.bounds.left << ", " << row.bounds.top << ", "
                             << row.bounds.right << ", " << row.bounds.bottom << ")";
    const platform::FontSpec& font = control.GetFont();
    EXPECT_EQ(font.face, "MS Sans Serif");
    EXPECT_EQ(font.height, row.fontHeight);
    EXPECT_EQ(font.bold, row.bold);
    EXPECT_EQ(font.underline, row.underline);
    EXPECT_EQ(font.color, row.color) << std::hex << "have colour 0x" << font.color << ", want 0x" << row.color;
  }
  EXPECT_EQ(children[0].get(), ProductLabel);
  EXPECT_EQ(children[2].get(), DateLabel);
  EXPECT_EQ(children[6].get(), MailLabel);
  EXPECT_EQ(children[9].get(), OkButton);
  const LONG productStyle = GetWindowLongW(ProductLabel->Handle(), GWL_STYLE);
  EXPECT_EQ(productStyle & SS_TYPEMASK, SS_CENTER) << "the product name is centred across";
  EXPECT_TRUE(productStyle & SS_CENTERIMAGE) << "and down";

  // Centred in the main window's client area.
  const Rect area = main->Window->ClientRect();
  const Rect placed = AboutForm->Bounds();
  EXPECT_EQ(placed.left, (area.Width() - 240) / 2);
  EXPECT_EQ(placed.top, (area.Height() - 150) / 2);

  main->WindowShow();
  EXPECT_EQ(AboutForm->Parent(), main->Window);
  EXPECT_EQ(main->Window->Children().back().get(), AboutForm) << "a later show event builds no second dialog";
  int dialogs = 0;
  for (const auto& child : main->Window->Children()) dialogs += child->Text() == AboutForm->Text();
  EXPECT_EQ(dialogs, 1);
}

TEST_F(AboutDialog, TheFrameCannotBeDraggedToResize) {
  RECT rc;
  GetWindowRect(AboutForm->Handle(), &rc);
  const int midY = (rc.top + rc.bottom) / 2;
  for (POINT edge : {POINT{rc.right - 1, midY}, POINT{rc.left, midY}, POINT{rc.right - 1, rc.bottom - 1}}) {
    const LRESULT hit = AboutForm->Send(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y));
    EXPECT_EQ(hit, HTBORDER) << "have hit-test code " << hit << " on the frame at (" << edge.x << ", " << edge.y
                             << "), want HTBORDER";
  }
  MINMAXINFO info{};
  AboutForm->Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 240);
  EXPECT_EQ(info.ptMaxTrackSize.x, 240);
  EXPECT_EQ(info.ptMinTrackSize.y, 150);
  EXPECT_EQ(info.ptMaxTrackSize.y, 150);
}

TEST_F(AboutDialog, TheAboutCommandShowsTheTextsAndWaitsWithThePanesDisabled) {
  const Rect builtAt = AboutForm->Bounds();
  main->Window->SetSize(900, 700);
  const HWND built = AboutForm->Handle();
  struct Seen {
    bool shown, panesDisabled, windowEnabled, aboutItemEnabled, timerTicked;
    std::string product, date, author, mail, web;
    Rect placed;
  } seen{};
  main->MainMenu->SetItemEnabled(kSaveItem, true);
  RunLater(
      [&] {
        seen = {AboutForm->Visible(),
                PanesDisabled(),
                main->Window->Enabled(),
                main->MainMenu->ItemEnabled(kAboutItem),
                // the file list is empty: a timer tick greys the save item
                !main->MainMenu->ItemEnabled(kSaveItem),
                ProductLabel->Text(),
                DateLabel->Text(),
                AuthorLabel->Text(),
                MailLabel->Text(),
                WebLabel->Text(),
                AboutForm->Bounds()};
        OkButton->Click();
      },
      300);
  ChooseAbout();

  EXPECT_TRUE(seen.shown);
  EXPECT_TRUE(seen.panesDisabled) << "the panes are disabled during the wait";
  EXPECT_TRUE(seen.windowEnabled) << "the main window stays enabled";
  EXPECT_TRUE(seen.aboutItemEnabled) << "its menu stays usable";
  EXPECT_TRUE(seen.timerTicked) << "the menu timer keeps running during the wait";
  EXPECT_EQ(seen.product, "ASG XBM Converter v1.0");
  EXPECT_EQ(seen.date, "2 \xE8\xFE\xEB\xFF 2002\xE3.");  // "2 июля 2002г."
  EXPECT_FALSE(seen.author.empty());
  EXPECT_TRUE(seen.mail.ends_with("@example.org")) << "have " << seen.mail;
  EXPECT_TRUE(seen.web.starts_with("http://www.example.org")) << "have " << seen.web;
  EXPECT_EQ(seen.placed, builtAt) << "the place it was built at, inside the resized window";

  EXPECT_FALSE(AboutForm->Visible()) << "Ok hides the dialog";
  EXPECT_EQ(AboutForm->Handle(), built) << "hidden, not destroyed";
  EXPECT_TRUE(PanesEnabled()) << "the panes are enabled again after Ok";
}

TEST_F(AboutDialog, LinksOpenTheirTextThroughTheShellAndShowTheHandCursor) {
  std::vector<std::pair<HWND, std::string>> opened;
  platform::ShellOpener = [&](HWND owner, const std::string& target) { opened.push_back({owner, target}); };
  HCURSOR mailCursor = nullptr, dateCursor = nullptr;
  RunLater([&] {
    for (const Control* inert : {static_cast<Control*>(ProductLabel), static_cast<Control*>(DateLabel),
                                 static_cast<Control*>(AuthorLabel), AboutForm->Children()[1].get()}) {
      Click(*inert);
    }
    Click(*MailLabel);
    Click(*WebLabel);
    MailLabel->SetText("");
    Click(*MailLabel);
    SetCursor(nullptr);
    MailLabel->Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(MailLabel->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    mailCursor = GetCursor();
    SetCursor(nullptr);
    DateLabel->Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(DateLabel->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    dateCursor = GetCursor();
    OkButton->Click();
  });
  ShowAboutDialog("Product", "Date", "Author", "someone@example.org", "http://www.example.org/page");

  const HWND owner = AboutForm->Handle();
  const std::vector<std::pair<HWND, std::string>> want = {
      {owner, "mailto:someone@example.org"}, {owner, "http://www.example.org/page"}, {owner, "mailto:"}};
  EXPECT_EQ(opened, want) << "only the two links call the shell, with their current text";
  EXPECT_EQ(mailCursor, LoadCursorW(nullptr, IDC_HAND)) << "the links show the hand cursor";
  EXPECT_NE(dateCursor, LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(AboutDialog, OneOkEndsANestedShowingAndTheFirst) {
  std::vector<std::string> ended;
  RunLater([&] {
    RunLater([&] { OkButton->Click(); });
    ChooseAbout();  // the about command again, from the menu that stays usable
    ended.push_back("inner");
  });
  ChooseAbout();
  ended.push_back("outer");
  EXPECT_EQ(ended, (std::vector<std::string>{"inner", "outer"}));
  EXPECT_FALSE(AboutForm->Visible());
  EXPECT_TRUE(PanesEnabled()) << "have the panes disabled after both waits ended, want enabled";
}

TEST_F(AboutDialog, ExitFromTheMenuEndsTheWait) {
  RunLater([&] { ASSERT_TRUE(testing_input::PostMenuCommand(main->Window->Handle(), {0, 3})); });  // "Выход"
  ChooseAbout();
  EXPECT_TRUE(platform::Application::Terminated()) << "the close request ended the program's loop";
  EXPECT_TRUE(PanesEnabled());
}

TEST_F(AboutDialog, KeepsItsPlaceBetweenShowingsWhileThePlaceLiesInsideTheWindow) {
  const struct {
    const char* what;
    int width, height;  // of the main window before the showing
    bool kept;          // else centred in the client area, or at its top-left corner when that is too small
  } steps[] = {
      {"the size it was built in", 696, 506, true},
      {"larger", 900, 700, true},
      {"smaller, the place still inside", 600, 420, true},
      {"too small for the place", 400, 330, false},
      {"larger again: the new place stays", 900, 700, true},
      {"smaller than the dialog", 220, 160, false},
  };
  Rect place = AboutForm->Bounds();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.what);
    main->Window->SetSize(s.width, s.height);
    Rect shownAt{};
    RunLater([&] {
      shownAt = AboutForm->Bounds();
      OkButton->Click();
    });
    ChooseAbout();
    const Rect area = main->Window->ClientRect();
    const int left = std::max(0, (area.Width() - 240) / 2), top = std::max(0, (area.Height() - 150) / 2);
    const Rect want = s.kept ? place : Rect{left, top, left + 240, top + 150};
    EXPECT_EQ(shownAt, want) << "have (" << shownAt.left << ", " << shownAt.top << "), want (" << want.left << ", "
                             << want.top << ") in a client area of " << area.Width() << " x " << area.Height();
    place = shownAt;
  }
}

TEST_F(AboutDialog, OkHasTheFocusAndEnterSpaceOrEscapeCloseTheDialog) {
  SetForegroundWindow(main->Window->Handle());
  const HWND fileList = main->FileList->ListBox.Handle();
  const struct {
    const char* name;
    WPARAM key;
  } keys[] = {{"Enter", VK_RETURN}, {"Space", VK_SPACE}, {"Escape", VK_ESCAPE}};
  for (const auto& k : keys) {
    SCOPED_TRACE(k.name);
    SetFocus(fileList);
    HWND focusShown = nullptr, afterTab = nullptr, afterShiftTab = nullptr;
    RunLater([&] {
      focusShown = GetFocus();
      testing_input::PressKey(VK_TAB);
      afterTab = GetFocus();
      testing_input::PressKey(VK_TAB, true);
      afterShiftTab = GetFocus();
      testing_input::PressKey(k.key);
      if (AboutForm->Visible()) {
        ADD_FAILURE() << "the key left the dialog open";
        AboutForm->SetModalResult(-1);
        AboutForm->Hide();
      }
    });
    ChooseAbout();
    EXPECT_EQ(focusShown, OkButton->Handle()) << "Ok has the focus when the dialog shows";
    EXPECT_EQ(afterTab, OkButton->Handle()) << "Tab stays on Ok, the dialog's one tab stop, with the panes disabled";
    EXPECT_EQ(afterShiftTab, OkButton->Handle());
    EXPECT_EQ(AboutForm->ModalResult(), 1);
    EXPECT_FALSE(AboutForm->Visible());
    EXPECT_TRUE(PanesEnabled());
    EXPECT_EQ(GetFocus(), fileList) << "the focus goes back to the file list";
  }
}

TEST_F(AboutDialog, ALongTextShowsOnOneLineCutAtTheDialogsEdge) {
  const std::string longName = "A name far too long for its label, that goes on and on well past the edge";
  int edgePixels = -1, secondLinePixels = -1, visibleWidth = 0;
  RunLater([&] {
    RedrawWindow(AboutForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const COLORREF back = GetSysColor(COLOR_BTNFACE);
    // The label reaches past the client area of the dialog; this much of it shows.
    visibleWidth = AboutForm->ClientRect().Width() - AuthorLabel->Left();
    HDC dc = GetDC(AuthorLabel->Handle());
    auto textPixels = [&](int left, int right, int top, int bottom) {
      int count = 0;
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) count += GetPixel(dc, x, y) != back;
      return count;
    };
    edgePixels = textPixels(visibleWidth - 12, visibleWidth - 1, 0, 13);
    secondLinePixels = textPixels(0, visibleWidth - 1, 14, 22);
    ReleaseDC(AuthorLabel->Handle(), dc);
    OkButton->Click();
  });
  ShowAboutDialog("Product", "Date", longName, "someone@example.org", "http://www.example.org/");
  ASSERT_GT(visibleWidth, 100);
  EXPECT_GT(edgePixels, 0) << "the text runs on to the edge of the dialog, where it is cut";
  EXPECT_EQ(secondLinePixels, 0) << "have " << secondLinePixels << " pixels of a second line, want one line";
  EXPECT_EQ(AuthorLabel->Text(), longName) << "the label holds the whole text";
}

}  // namespace
