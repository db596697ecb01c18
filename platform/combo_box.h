#pragma once
// A read-only drop-down list: the user picks one of the plain texts, in the
// order they were added, and cannot type. Vertical scroll bar, automatic
// horizontal scrolling, reachable with Tab; the dropped-down list shows at
// most eight items and scrolls for more.

#include <functional>
#include <string>
#include <string_view>

#include "platform/control.h"

namespace platform {

class ComboBox : public Control {
 public:
  static constexpr int kDroppedItems = 8;

  explicit ComboBox(Control& parent);

  // Raised when the user changes the selection with the mouse or the
  // keyboard; selections made through Select() raise nothing.
  std::function<void()> OnSelChange;

  int Count() const;
  void Clear();
  void AddItem(std::string_view cp1251);
  std::string Item(int index) const;  // empty for an index out of range
  // The first item whose text begins with `prefix`, ignoring case; -1 if none.
  int FindPrefix(std::string_view prefix) const;
  int SelectedIndex() const;  // -1 when nothing is selected
  void Select(int index);     // -1 clears the selection
  std::string SelectedText() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCommand(WORD code) override;

 private:
  int nested_ = 0;  // depth of the box's own message handling
};

}  // namespace platform
