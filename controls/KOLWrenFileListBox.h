#pragma once
// The file list box: the names in one folder that match a wildcard mask;
// the user selects one or several, and every change the user makes is reported.
// Names and folders are UTF-8 (see platform/text.h), so that the folder
// followed by an item is exactly the name of the listed file.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/control.h"
#include "platform/list_box.h"

class WrenFileListBox : public platform::Owned {
 public:
  enum CaseModes { kCaseAsListed = 0, kCaseLower = 1, kCaseUpper = 2 };

  platform::ListBox& ListBox;
  std::string Path;     // the folder last listed, as passed to SetPath; empty after a missing folder
  std::string Mask;     // such as "*.xbm"
  uint32_t Color = 0;   // background, applied at every successful SetPath
  int32_t CaseMode = kCaseAsListed;  // any other value lists names as they are
  bool IntegralHeight = false;
  std::function<void(WrenFileListBox& sender)> OnChange;

  explicit WrenFileListBox(platform::ListBox& listBox);

  WrenFileListBox& SetAlign(platform::Align align);
  void SetMask(std::string_view mask);
  void SetPath(std::string_view folder);
  void SetIntegralHeight(bool integral);
  void SetCurIndex(int index);

  std::string CurrentItem() const;  // the item with the focus rectangle, selected or not
  int Count() const;
  bool Selected(int index) const;
  int SelectedCount() const;  // -1 for an empty list
  std::string Item(int index) const;

  // The list box style that bit i of `options` selects, added to the base style.
  static DWORD StyleFor(uint16_t options);
};

WrenFileListBox& NewWrenFileListBox(platform::Control& parent, uint16_t options);
