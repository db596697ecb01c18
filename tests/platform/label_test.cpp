#include "platform/label.h"

#include <gtest/gtest.h>

#include "platform/form.h"
#include "platform/paint_box.h"

namespace platform {
namespace {

TEST(Label, HasTheDefaultHeightAndReportsClicksWhenAsked) {
  Form form("label");
  Label& label = form.Add<Label>("\xD0\xE0\xE7\xEC\xE5\xF0");
  EXPECT_EQ(label.Height(), Label::kDefaultHeight);
  EXPECT_EQ(label.Text(), "\xD0\xE0\xE7\xEC\xE5\xF0");
  label.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  label.Send(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));  // nobody listens yet
  int clicks = 0;
  label.OnClick = [&](Label&) { ++clicks; };
  label.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  label.Send(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(clicks, 1);
}

TEST(PaintBox, AClickIsAPressAndAReleaseInsideTheBox) {
  Form form("paint box");
  PaintBox& box = form.Add<PaintBox>();
  box.SetSize(50, 40);
  int clicks = 0;
  box.OnClick = [&](PaintBox&) { ++clicks; };
  box.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  box.Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 1);
  box.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  box.Send(WM_LBUTTONUP, 0, MAKELPARAM(80, 10));  // released outside
  EXPECT_EQ(clicks, 1);
  box.Send(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));  // a release without a press
  EXPECT_EQ(clicks, 1);
}

TEST(PaintBox, PaintsOnlyTheExposedPart) {
  Form form("paint box");
  PaintBox& box = form.Add<PaintBox>();
  box.SetSize(100, 80);
  form.Show();
  UpdateWindow(box.Handle());
  RECT seen{};
  int paints = 0;
  box.OnPaint = [&](PaintBox&, HDC dc) {
    ++paints;
    GetClipBox(dc, &seen);
  };
  RECT part{10, 20, 30, 25};
  InvalidateRect(box.Handle(), &part, FALSE);
  UpdateWindow(box.Handle());
  EXPECT_EQ(paints, 1);
  EXPECT_TRUE(EqualRect(&seen, &part)) << "have clip box " << seen.left << "," << seen.top << "," << seen.right
                                       << "," << seen.bottom << ", want 10,20,30,25";
}

}  // namespace
}  // namespace platform
