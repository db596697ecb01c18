#pragma once
// A window of our own class: the top-level window of the program, or a
// captionless child window shown modally inside it. A top-level window that
// comes back to the front gives the focus back to the control that had it.

#include <functional>
#include <string_view>

#include "platform/control.h"

namespace platform {

class Menu;

class Form : public Control {
 public:
  // A resizable top-level window (title bar, system menu, sizing frame,
  // minimise and maximise boxes), hidden until shown.
  explicit Form(std::string_view caption);
  // A window of any other style, such as a captionless child window of
  // `parent`; hidden until shown unless `style` has WS_VISIBLE.
  Form(Control* parent, std::string_view text, DWORD style, DWORD exStyle);
  ~Form() override;

  // Runs each time the window goes from hidden to shown.
  std::function<void(Form&)> OnShow;

  void Show();
  void Hide();
  // Places the window in the middle of the screen; a screen smaller than the
  // window gives negative coordinates.
  void CenterOnScreen();

  // Modal showing. ShowModal sets the modal result to 0, disables every other
  // enabled child of the parent window (the parent itself and its menu stay
  // usable), shows the window and processes messages until the modal result is
  // set to a non-zero value or the application is terminated; then it enables
  // the controls it disabled and gives the focus back. A ShowModal started
  // inside another one on the same window ends together with it.
  // Returns the modal result, 0 when the application ended the wait.
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }

  // The menu bar whose commands this window hands on; the Menu sets itself.
  Menu* MenuBar() const { return menuBar_; }
  void SetMenuBar(Menu* menu) { menuBar_ = menu; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool shown_ = false;
  HWND lastFocus_ = nullptr;  // the control that had the focus when the window went to the back
  int modalResult_ = 0;
  Menu* menuBar_ = nullptr;
};

}  // namespace platform
