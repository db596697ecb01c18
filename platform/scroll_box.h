#pragma once
// A container that scrolls its children. The scroll ranges follow the
// rectangle that the children cover: they are recomputed whenever a child
// changes size or position and whenever the box is resized, and a scroll bar
// shows only where the children are larger than the visible area.
//
// The mouse wheel scrolls too: one notch (WHEEL_DELTA) moves three lines,
// down and up; with Shift held, or on a tilting wheel, right and left. Finer
// wheels move a line for each third of a notch.

#include "platform/control.h"
#include "platform/panel.h"

namespace platform {

class ScrollBox : public Control {
 public:
  static constexpr int kLine = 16;       // pixels per arrow click
  static constexpr int kWheelLines = 3;  // lines per notch of the wheel

  ScrollBox(Control& parent, Edge edge);

  // The scroll positions: how far the children are moved left and up.
  POINT ScrollPosition() const;
  void ScrollTo(int x, int y);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void ChildBoundsChanged(Control& child) override;
  void Resized() override;

 private:
  void UpdateScrollBars();
  void OnScroll(int bar, WORD request);
  // `delta` in wheel units, positive toward the end of the range.
  void OnWheel(int bar, int delta);
  void MoveChildren(int newX, int newY, int oldX, int oldY);

  bool updating_ = false;
  int wheelRest_[2] = {0, 0};  // wheel units short of a whole line, per bar
};

}  // namespace platform
