#pragma once
// A drawing surface: the owner paints it in OnPaint and may react to clicks.

#include <functional>

#include "platform/control.h"

namespace platform {

class PaintBox : public Control {
 public:
  explicit PaintBox(Control& parent);

  // Runs inside WM_PAINT with the paint surface, clipped to what is exposed.
  std::function<void(PaintBox&, HDC)> OnPaint;
  // A left-button press and release both inside the box.
  std::function<void(PaintBox&)> OnClick;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool pressed_ = false;
};

}  // namespace platform
