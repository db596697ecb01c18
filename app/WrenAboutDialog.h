#pragma once
// The about dialog: a captionless child window inside the main window showing
// the product, its date, the author and two links (e-mail and web page),
// closed with its Ok button. Built once, hidden, and shown modally on demand.

#include <string_view>

#include "platform/control.h"

namespace platform {
class Button;
class Form;
class Label;
}  // namespace platform

// The one dialog of the program, filled by CreateAboutDialog and cleared when
// the dialog window is destroyed with its parent.
extern platform::Form* AboutForm;
extern platform::Label* ProductLabel;
extern platform::Label* DateLabel;
extern platform::Label* AuthorLabel;
extern platform::Label* MailLabel;
extern platform::Label* WebLabel;
extern platform::Button* OkButton;

inline constexpr int AboutFormWidth = 240;  // outer size, frame included
inline constexpr int AboutFormHeight = 150;

// Builds the dialog and its controls as a hidden child window of `parent`,
// centred in the parent's client area. The dialog keeps that place between
// showings as long as it lies inside the parent's client area.
void CreateAboutDialog(platform::Control& parent);

// Sets the five texts and shows the dialog modally: the parent's other child
// controls are disabled until Ok is clicked (or pressed with Enter or Space;
// Escape does the same) or the program ends. The web
// address comes whole, with its scheme; the e-mail address without "mailto:".
// Does nothing before CreateAboutDialog.
void ShowAboutDialog(std::string_view product, std::string_view date, std::string_view author,
                     std::string_view mail, std::string_view web);
