#pragma once
// Static text on one line, in the control's font and text colour, on its
// parent's background. A label reports clicks when OnClick is set.

#include <functional>
#include <string_view>

#include "platform/control.h"

namespace platform {

class Label : public Control {
 public:
  static constexpr int kDefaultWidth = 64;
  static constexpr int kDefaultHeight = 22;

  Label(Control& parent, std::string_view text);

  // Centres the text both horizontally and vertically instead of starting at the left edge.
  void SetCentered(bool centered);

  std::function<void(Label&)> OnClick;

 protected:
  bool OnCommand(WORD code) override;
};

}  // namespace platform
