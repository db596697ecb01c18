#pragma once
// The two kinds of text the program hands to the system, and their one
// conversion each to the UTF-16 of the system's wide-character functions:
//   - program texts (captions, menus, labels, messages) are Windows-1251 bytes,
//     so they show correctly whatever the ANSI code page of the machine is;
//   - names of files and folders are UTF-8, so that every name Windows allows
//     comes back unchanged: a name is never replaced by a look-alike
//     ("café" by "cafe") nor by question marks. Windows even allows names
//     that are not valid UTF-16 (an unpaired surrogate); such a unit is
//     written as the three bytes UTF-8 would give its code point, so that it,
//     too, survives the way there and back.
// Controls that show names (list box, list view) and the dialogs' file and
// folder fields take names; everything else takes program texts.

#include <string>
#include <string_view>

namespace platform {

std::wstring Widen(std::string_view cp1251);
std::string Narrow(std::wstring_view utf16);  // characters outside Windows-1251 become '?'

std::wstring WidenName(std::string_view utf8);
std::string NarrowName(std::wstring_view utf16);

}  // namespace platform
