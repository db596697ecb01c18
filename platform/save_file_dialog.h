#pragma once
// The system's save-file dialog: explorer style, long file names, a prompt
// before an existing file is replaced, existing folders only, no read-only
// check box; the process's current folder stays as it was. Created once and
// reused; the caller sets the initial folder and name before every showing.

#include <functional>
#include <string>

#include "platform/control.h"

namespace platform {

class SaveFileDialog : public Owned {
 public:
  // Entries "Description|pattern", separated by "|", e.g. "Bitmaps (*.bmp)|*.bmp".
  std::string Filter;
  // Added to a name given without an extension, e.g. "bmp".
  std::string DefaultExtension;
  std::string Title;  // empty: the system's own title
  Control* Owner = nullptr;
  // The folder and the names are names of files in UTF-8 (see text.h); the
  // other texts are program texts.
  std::string InitialFolder;
  // In: the name proposed. Out: the full name chosen.
  std::string FileName;

  // Shows the dialog and waits for the answer. True when the user confirmed a
  // name, which is then in FileName; false on cancel, leaving FileName alone.
  bool Execute() { return Prompt(*this); }

  // What Execute runs: the system's dialog; tests put an answer of their own here.
  std::function<bool(SaveFileDialog&)> Prompt = &ShowSystemDialog;
  static bool ShowSystemDialog(SaveFileDialog& dialog);

  // The filter in the system's form: entries and their parts separated by
  // NUL, ended by two NULs.
  static std::wstring SystemFilter(const std::string& filter);
};

}  // namespace platform
