#pragma once
// A container that scrolls its children. The scroll ranges follow the
// rectangle that the children cover: they are recomputed whenever a child
// changes size or position and whenever the box is resized, and a scroll bar
// shows only where the children are larger than the visible area.

#include "platform/control.h"
#include "platform/panel.h"

namespace platform {

class ScrollBox : public Control {
 public:
  static constexpr int kLine = 16;  // pixels per arrow click

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
  void MoveChildren(int newX, int newY, int oldX, int oldY);

  bool updating_ = false;
};

}  // namespace platform
