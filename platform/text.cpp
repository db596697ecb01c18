#include "platform/text.h"

#include <windows.h>

namespace platform {

namespace {
constexpr UINT kCodePage = 1251;
}

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

}  // namespace platform
