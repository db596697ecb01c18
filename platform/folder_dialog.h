#pragma once
// The shell's folder browser: file-system folders only, centred on the screen,
// opened at a chosen folder. Created once and reused.

#include <functional>
#include <string>

#include "platform/control.h"

namespace platform {

class FolderDialog : public Owned {
 public:
  std::string Title;  // the text above the folder tree
  Control* Owner = nullptr;
  // In: the folder selected when the dialog opens. Out: the folder chosen, as
  // the system returns it (a drive root keeps its final "\", others have none).
  // A name of a folder in UTF-8 (see text.h).
  std::string Folder;

  // Shows the dialog and waits for the answer. True when the user confirmed a
  // file-system folder, which is then in Folder; false otherwise, leaving Folder alone.
  bool Execute() { return Prompt(*this); }

  // What Execute runs: the shell's dialog; tests put an answer of their own here.
  std::function<bool(FolderDialog&)> Prompt = &ShowSystemDialog;
  static bool ShowSystemDialog(FolderDialog& dialog);
};

}  // namespace platform
