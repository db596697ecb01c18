#include "platform/text.h"

#include <windows.h>

namespace platform {

namespace {

constexpr UINT kCodePage = 1251;
constexpr wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(unsigned unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(unsigned unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

void AppendUtf16(std::wstring& out, char32_t point) {
  if (point < 0x10000) {
    out += static_cast<wchar_t>(point);
  } else {
    point -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (point >> 10));
    out += static_cast<wchar_t>(0xDC00 + (point & 0x3FF));
  }
}

// The code point of the sequence at `at`, or -1 when the bytes there do not
// form one (a stray continuation byte, a sequence cut short, an overlong form,
// a value beyond U+10FFFF). `length` receives the bytes used; at least 1.
long DecodeOne(std::string_view text, size_t at, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(at);
  length = 1;
  if (lead < 0x80) return static_cast<long>(lead);
  size_t extra;
  char32_t point;
  char32_t smallest;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, point = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, point = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, point = lead & 0x07, smallest = 0x10000;
  } else {
    return -1;
  }
  if (text.size() - at <= extra) return -1;
  for (size_t i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return -1;
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  if (point < smallest || point > 0x10FFFF) return -1;
  length = extra + 1;
  return static_cast<long>(point);
}

}  // namespace

std::wstring Widen(std::string_view cp1251) {
  if (cp1251.empty()) return {};
  const int n = MultiByteToWideChar(kCodePage, 0, cp1251.data(), static_cast<int>(cp1251.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, cp1251.data(), static_cast<int>(cp1251.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = WideCharToMultiByte(kCodePage, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

// Own code rather than the system's converters, which would replace an
// unpaired surrogate by U+FFFD and so lose the name.
std::wstring WidenName(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  size_t length = 0;
  for (size_t at = 0; at < utf8.size(); at += length) {
    const long point = DecodeOne(utf8, at, length);
    AppendUtf16(out, point < 0 ? kReplacement : static_cast<char32_t>(point));
  }
  return out;
}

std::string NarrowName(std::wstring_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const unsigned unit = utf16[i];
    if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00u));
      ++i;
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace platform
