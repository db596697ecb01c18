#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/button.h"
#include "platform/form.h"
#include "platform/panel.h"

namespace platform {
namespace {

TEST(Button, ClickRaisesTheEventOncePerClick) {
  Form form("owner");
  Button& button = form.Add<Button>("Ok");
  int clicks = 0;
  button.OnClick = [&](Button&) { ++clicks; };
  EXPECT_EQ(button.Width(), 64);
  EXPECT_EQ(button.Height(), 22);
  EXPECT_TRUE(GetWindowLongW(button.Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_EQ(button.Text(), "Ok");
  form.Show();
  button.Click();
  EXPECT_EQ(clicks, 1) << "have " << clicks << " clicks after one, want 1";
  button.Click();
  EXPECT_EQ(clicks, 2) << "have " << clicks << " clicks after two, want 2";
}

struct ChildForm : Form {
  explicit ChildForm(Control& parent) : Form(&parent, "dialog", WS_THICKFRAME | WS_CLIPCHILDREN, 0) {}
};

// An owner window with two panes (one of them disabled before the modal show),
// a focusable button, and a captionless child form with an Ok button.
struct ModalFixture : testing::Test {
  ModalFixture() {
    Application::Reset();
    owner.SetSize(400, 300);
    owner.Show();
    SetForegroundWindow(owner.Handle());
    focused.SetPosition(10, 200);
    SetFocus(focused.Handle());
    paneB.SetEnabled(false);
    dialog.SetBounds({20, 20, 260, 170});
    ok.OnClick = [this](Button&) {
      seen.push_back({paneA.Enabled(), paneB.Enabled(), focused.Enabled(), owner.Enabled(), dialog.Visible()});
      dialog.SetModalResult(1);
      dialog.Hide();
    };
  }
  ~ModalFixture() override { Application::Reset(); }

  struct State {
    bool paneA, paneB, focused, owner, dialogShown;
  };

  Form owner{"owner"};
  Panel& paneA = owner.Add<Panel>(Edge::None);
  Panel& paneB = owner.Add<Panel>(Edge::None);
  Button& focused = owner.Add<Button>("focus");
  Form& dialog = owner.Add<ChildForm>();
  Button& ok = dialog.Add<Button>("Ok");
  std::vector<State> seen;
};

TEST_F(ModalFixture, DisablesTheOtherChildrenWhileWaitingAndRestoresThem) {
  PostMessageW(ok.Handle(), BM_CLICK, 0, 0);
  const int result = dialog.ShowModal();
  EXPECT_EQ(result, 1);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].paneA) << "have the pane enabled during the wait, want disabled";
  EXPECT_FALSE(seen[0].focused);
  EXPECT_TRUE(seen[0].owner) << "the owner itself stays enabled";
  EXPECT_TRUE(seen[0].dialogShown);
  EXPECT_TRUE(paneA.Enabled()) << "have the pane disabled after the wait, want enabled";
  EXPECT_TRUE(focused.Enabled());
  EXPECT_FALSE(paneB.Enabled()) << "a control disabled before the wait stays disabled";
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(GetFocus(), focused.Handle()) << "the focus goes back to the control that had it";
}

TEST_F(ModalFixture, OneOkEndsANestedWaitAndTheOuterOne) {
  int innerResult = -1;
  bool nested = false;
  auto close = ok.OnClick;
  // The first click starts a second modal show of the same dialog, as a second
  // about command would; the click inside it ends both.
  ok.OnClick = [&](Button& button) {
    if (nested) return close(button);
    nested = true;
    PostMessageW(ok.Handle(), BM_CLICK, 0, 0);
    innerResult = dialog.ShowModal();
  };
  PostMessageW(ok.Handle(), BM_CLICK, 0, 0);
  const int outerResult = dialog.ShowModal();
  EXPECT_EQ(innerResult, 1);
  EXPECT_EQ(outerResult, 1) << "have the outer wait ending with " << outerResult << ", want 1";
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].paneA) << "the inner wait runs with the panes still disabled";
  EXPECT_TRUE(paneA.Enabled()) << "have the pane disabled after both waits, want enabled";
  EXPECT_FALSE(paneB.Enabled());
  EXPECT_FALSE(dialog.Visible());
}

TEST_F(ModalFixture, AQuitMessageEndsTheWait) {
  PostQuitMessage(0);
  const int result = dialog.ShowModal();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(Application::Terminated());
  EXPECT_TRUE(paneA.Enabled()) << "have the pane disabled after the program ended the wait, want enabled";
  EXPECT_TRUE(seen.empty());
}

}  // namespace
}  // namespace platform
