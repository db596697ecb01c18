// Names of files and folders on their way between the system's UTF-16 and the
// UTF-8 that the program holds them in.

#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::NarrowName;
using platform::WidenName;

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
    out += ' ';
  }
  return out;
}

TEST(NameText, EveryNameWindowsAllowsComesBackUnchanged) {
  const struct {
    std::wstring utf16;
    std::string utf8;
  } cases[] = {
      {L"", ""},
      {L"sprite.xbm", "sprite.xbm"},
      {L"caf\u00E9.xbm", "caf\xC3\xA9.xbm"},                   // é: beyond Windows-1251
      {L"\u0421\u043F\u0440\u0430\u0439\u0442\u044B", "\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB9\xD1\x82\xD1\x8B"},
      {L"\u65E5\u672C.xbm", "\xE6\x97\xA5\xE6\x9C\xAC.xbm"},  // three bytes each
      {L"\xD83D\xDC09.xbm", "\xF0\x9F\x90\x89.xbm"},           // a surrogate pair: one four-byte letter
      {L"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},  // at the length steps
      // Unpaired surrogates, which Windows allows in names, as the bytes of their code points.
      {L"a\xD800.xbm", "a\xED\xA0\x80.xbm"},
      {L"\xDC00" L"b", "\xED\xB0\x80" "b"},
      {L"\xDBFF", "\xED\xAF\xBF"},
      {L"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80"},  // low before high is no pair
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.utf8));
    EXPECT_EQ(Hex(NarrowName(c.utf16)), Hex(c.utf8));
    EXPECT_EQ(WidenName(c.utf8), c.utf16);
    EXPECT_EQ(WidenName(NarrowName(c.utf16)), c.utf16);
  }
}

TEST(NameText, BytesThatAreNoUtf8BecomeReplacementCharacters) {
  const struct {
    std::string utf8;
    std::wstring want;
  } cases[] = {
      {"\xE9t\xE9", L"\uFFFDt\uFFFD"},       // Windows-1251 or Latin-1 bytes, one each
      {"\x80", L"\uFFFD"},                    // a continuation byte alone
      {"a\xE6\x97", L"a\uFFFD\uFFFD"},        // a sequence cut short by the end
      {"\xE6\x97" "b", L"\uFFFD\uFFFD" L"b"},  // or by a byte that does not continue it
      {"\xC0\xAF", L"\uFFFD\uFFFD"},          // an overlong "/"
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xFF", L"\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.utf8));
    EXPECT_EQ(WidenName(c.utf8), c.want);
  }
}

}  // namespace
