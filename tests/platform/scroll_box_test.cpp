#include "platform/scroll_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/application.h"
#include "platform/form.h"
#include "platform/paint_box.h"

namespace platform {
namespace {

struct Bar {
  int max = 0;
  int page = 0;
  int pos = 0;
  bool visible = false;
};

Bar BarOf(const Control& box, int bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(box.Handle(), bar, &si);
  const LONG style = GetWindowLongW(box.Handle(), GWL_STYLE);
  return {si.nMax, static_cast<int>(si.nPage), si.nPos, (style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0};
}

// A box of 300 x 200 outer pixels in a shown window, holding one child.
class ScrollBoxTest : public testing::Test {
 protected:
  ScrollBoxTest() : form("scroll") {
    form.SetGap(0);
    form.SetSize(400, 300);
    box = &form.Add<ScrollBox>(Edge::Sunken);
    box->SetSize(300, 200);
    child = &box->Add<PaintBox>();
    child->SetSize(10, 10);
    form.Show();
    Application::ProcessMessages();
  }
  void Scroll(int bar, WORD request) {
    box->Send(bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(request, 0), 0);
  }

  Form form;
  ScrollBox* box = nullptr;
  PaintBox* child = nullptr;
};

TEST_F(ScrollBoxTest, BarsShowOnlyWhereTheChildIsLargerThanTheVisibleArea) {
  EXPECT_FALSE(BarOf(*box, SB_HORZ).visible);
  EXPECT_FALSE(BarOf(*box, SB_VERT).visible);

  child->SetSize(2000, 1500);
  const Rect client = box->ClientRect();
  const Bar h = BarOf(*box, SB_HORZ), v = BarOf(*box, SB_VERT);
  EXPECT_TRUE(h.visible && v.visible);
  EXPECT_EQ(h.max, 1999) << "range 0 .. extent - 1";
  EXPECT_EQ(v.max, 1499);
  EXPECT_EQ(h.page, client.Width()) << "page = visible width";
  EXPECT_EQ(v.page, client.Height());

  child->SetSize(2000, 20);  // wider only
  EXPECT_TRUE(BarOf(*box, SB_HORZ).visible);
  EXPECT_FALSE(BarOf(*box, SB_VERT).visible);
  EXPECT_EQ(BarOf(*box, SB_VERT).max, box->ClientRect().Height() - 1) << "range = visible size when smaller";
}

TEST_F(ScrollBoxTest, ScrollRequestsMoveTheChildByLinesPagesThumbAndEnds) {
  child->SetSize(2000, 1500);
  const Rect client = box->ClientRect();
  const int maxX = 2000 - client.Width(), maxY = 1500 - client.Height();
  struct Step {
    std::string name;
    int bar;
    WORD request;
        int wantX, wantY;
  };
  const Step steps[] = {
      {"right arrow", SB_HORZ, SB_LINEDOWN, 16, 0},
      {"right arrow again", SB_HORZ, SB_LINEDOWN, 32, 0},
      {"down arrow", SB_VERT, SB_LINEDOWN, 32, 16},
      {"page right", SB_HORZ, SB_PAGEDOWN, 32 + client.Width(), 16},
      {"left arrow", SB_HORZ, SB_LINEUP, 16 + client.Width(), 16},
      {"page down", SB_VERT, SB_PAGEDOWN, 16 + client.Width(), 16 + client.Height()},
      {"page up", SB_VERT, SB_PAGEUP, 16 + client.Width(), 16},
      {"bottom", SB_VERT, SB_BOTTOM, 16 + client.Width(), maxY},
      {"down past the end", SB_VERT, SB_LINEDOWN, 16 + client.Width(), maxY},
      {"right end", SB_HORZ, SB_BOTTOM, maxX, maxY},
      {"top", SB_VERT, SB_TOP, maxX, 0},
      {"up past the start", SB_VERT, SB_LINEUP, maxX, 0},
  };
  for (const Step& s : steps) {
    Scroll(s.bar, s.request);
    const POINT pos = box->ScrollPosition();
    EXPECT_EQ(pos.x, s.wantX) << s.name << ": have x " << pos.x << ", want " << s.wantX;
    EXPECT_EQ(pos.y, s.wantY) << s.name << ": have y " << pos.y << ", want " << s.wantY;
    EXPECT_EQ(child->Left(), -s.wantX) << s.name << ": the child follows the bar";
    EXPECT_EQ(child->Top(), -s.wantY) << s.name;
  }
}

TEST_F(ScrollBoxTest, ASmallerChildAfterALargerOneRemovesTheBarsAndReturnsToTheOrigin) {
  child->SetSize(2000, 1500);
  box->ScrollTo(500, 400);
  ASSERT_EQ(child->Left(), -500);
  child->SetSize(64, 48);
  EXPECT_FALSE(BarOf(*box, SB_HORZ).visible);
  EXPECT_FALSE(BarOf(*box, SB_VERT).visible);
  EXPECT_EQ(child->Bounds(), (Rect{0, 0, 64, 48}));
}

TEST_F(ScrollBoxTest, ResizingTheBoxBringsTheBarsAndTakesThemAway) {
  child->SetSize(250, 150);
  EXPECT_FALSE(BarOf(*box, SB_HORZ).visible);
  box->SetSize(200, 120);
  EXPECT_TRUE(BarOf(*box, SB_HORZ).visible);
  EXPECT_TRUE(BarOf(*box, SB_VERT).visible);
  box->SetSize(300, 200);
  EXPECT_FALSE(BarOf(*box, SB_HORZ).visible);
  EXPECT_FALSE(BarOf(*box, SB_VERT).visible);
}

TEST_F(ScrollBoxTest, TheWheelMovesThreeLinesANotchWithinTheRange) {
  child->SetSize(2000, 1500);
  const Rect client = box->ClientRect();
  const int maxX = 2000 - client.Width(), maxY = 1500 - client.Height();
  struct Turn {
    std::string name;
    UINT msg;
    WPARAM keys;
    int delta;  // wheel units; positive away from the user, or tilted right
    int wantX, wantY;
  };
  const Turn turns[] = {
      {"one notch toward the user", WM_MOUSEWHEEL, 0, -120, 0, 48},
      {"two notches at once", WM_MOUSEWHEEL, 0, -240, 0, 144},
      {"one notch away", WM_MOUSEWHEEL, 0, 120, 0, 96},
      {"a third of a notch: one line", WM_MOUSEWHEEL, 0, -40, 0, 112},
      {"a sixth of a notch: nothing yet", WM_MOUSEWHEEL, 0, -20, 0, 112},
      {"the second sixth completes a line", WM_MOUSEWHEEL, 0, -20, 0, 128},
      {"a sixth one way", WM_MOUSEWHEEL, 0, -20, 0, 128},
      {"a third the other way counts from zero", WM_MOUSEWHEEL, 0, 40, 0, 112},
      {"Shift: to the right", WM_MOUSEWHEEL, MK_SHIFT, -120, 48, 112},
      {"Shift: back to the left", WM_MOUSEWHEEL, MK_SHIFT, 120, 0, 112},
      {"Shift at the left end", WM_MOUSEWHEEL, MK_SHIFT, 120, 0, 112},
      {"tilted right", WM_MOUSEHWHEEL, 0, 120, 48, 112},
      {"tilted right with Shift: still right", WM_MOUSEHWHEEL, MK_SHIFT, 120, 96, 112},
      {"tilted left", WM_MOUSEHWHEEL, 0, -120, 48, 112},
      {"far up: the top", WM_MOUSEWHEEL, 0, 120 * 50, 48, 0},
      {"far down: the bottom", WM_MOUSEWHEEL, 0, -120 * 100, 48, maxY},
      {"far right: the right end", WM_MOUSEHWHEEL, 0, 120 * 200, maxX, maxY},
  };
  for (const Turn& t : turns) {
    box->Send(t.msg, MAKEWPARAM(t.keys, static_cast<WORD>(static_cast<short>(t.delta))), 0);
    const POINT pos = box->ScrollPosition();
    EXPECT_EQ(pos.x, t.wantX) << t.name << ": have x " << pos.x << ", want " << t.wantX;
    EXPECT_EQ(pos.y, t.wantY) << t.name << ": have y " << pos.y << ", want " << t.wantY;
    EXPECT_EQ(child->Left(), -t.wantX) << t.name << ": the child follows";
    EXPECT_EQ(child->Top(), -t.wantY) << t.name;
  }
}

TEST_F(ScrollBoxTest, TheWheelMovesNothingThatFits) {
  child->SetSize(100, 80);
  box->Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  box->Send(WM_MOUSEHWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(child->Bounds(), (Rect{0, 0, 100, 80}));
}

}  // namespace
}  // namespace platform
