#pragma once
// A list box of texts with the style bits its owner chooses (LBS_*, scroll
// bars); the base style is a visible child window that notifies its parent.
// Its texts are names of files, in UTF-8 (see text.h).

#include <functional>
#include <string>
#include <string_view>

#include "platform/control.h"

namespace platform {

class ListBox : public Control {
 public:
  ListBox(Control& parent, DWORD style);

  // Raised when the user changes the selection (LBN_SELCHANGE); changes made
  // through the methods below raise nothing.
  std::function<void()> OnSelChange;

  int Count() const;
  void Clear();
  std::string Item(int index) const;  // empty for an index out of range
  void Insert(int index, std::string_view utf8);  // -1 appends
  void Delete(int index);
  // LB_GETSEL: positive when selected, 0 when not, negative for a bad index.
  int SelState(int index) const;
  // LB_GETCARETINDEX: the item with the focus rectangle, selected or not; -1 when there is none.
  int CaretIndex() const;
  void SetCurSel(int index);

 protected:
  bool OnCommand(WORD code) override;
};

}  // namespace platform
