#pragma once
// A push button with the default-button look, 64 x 22 unless resized.

#include <functional>
#include <string_view>

#include "platform/control.h"

namespace platform {

class Button : public Control {
 public:
  static constexpr int kDefaultWidth = 64;
  static constexpr int kDefaultHeight = 22;

  Button(Control& parent, std::string_view text);

  // Runs on every click, by mouse or keyboard.
  std::function<void(Button&)> OnClick;

  // Presses the button as a click would.
  void Click();

 protected:
  bool OnCommand(WORD code) override;
};

}  // namespace platform
