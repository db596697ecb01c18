#pragma once
// The drive combo box: every present drive letter with the drive's kind,
// such as "C - [Жесткий диск]"; a pick by the user is reported.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/combo_box.h"
#include "platform/control.h"
#include "platform/font.h"

class WrenDirectoryListBox;
class WrenDriveComboBox;

WrenDriveComboBox& NewWrenDriveComboBox(platform::Control& parent);

class WrenDriveComboBox : public platform::Owned {
 public:
  uint32_t Color = 0;      // background of the combo box, applied at every SetDrive
  int ChangeCount = 0;     // SetDrive calls so far, held at 2; SetDrive reports at 2
  platform::ComboBox& ComboBox;
  char Drive = 0;          // the letter of the last SetDrive that found its item
  platform::FontSpec Font; // copied into the combo box at every SetDrive
  std::function<void(WrenDriveComboBox& sender)> OnChange;
  WrenDirectoryListBox* DirectoryList = nullptr;  // when set, SetDrive shows the drive there too

  explicit WrenDriveComboBox(platform::ComboBox& comboBox);

  WrenDriveComboBox& SetSize(int width, int height);
  void SetDrive(char letter);

  // The text of the item of drive `letter` whose system type is `driveType`.
  static std::string ItemText(char letter, unsigned driveType);

 private:
  friend WrenDriveComboBox& NewWrenDriveComboBox(platform::Control& parent);
  void FillDrives();
  void SelectionChanged();
};
