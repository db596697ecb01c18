#pragma once
// Naming rules of the export commands, shared by the program and xbm2bmp.

#include <string>
#include <string_view>

namespace asg {

// Name proposed by the save dialog: the text before the first "." ("a.b.xbm" -> "a").
std::string DefaultSaveName(std::string_view itemText);

// Output file name of a batch: the text up to and including the first ".", then
// "bmp" ("SPRITE.XBM" -> "SPRITE.bmp", "a.b.xbm" -> "a.bmp"); a text without "."
// gets ".bmp" appended.
std::string BatchOutputName(std::string_view itemText);

// Folder part of a file name: everything up to and including its last "\" or ":"
// (whichever comes later); empty when it has neither.
std::string FolderPart(std::string_view fileName);

}  // namespace asg
