#pragma once
// Program texts are Windows-1251 bytes; the system is always called through
// its wide-character functions, so texts and file names show correctly
// whatever the ANSI code page of the machine is.

#include <string>
#include <string_view>

namespace platform {

std::wstring Widen(std::string_view cp1251);
std::string Narrow(std::wstring_view utf16);  // characters outside Windows-1251 become '?'

}  // namespace platform
