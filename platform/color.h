#pragma once
// Colours are 32-bit Windows colour values; a value with the top bit set
// (0x80000000 | index) names a system colour, such as 0x80000005 for the
// window background.

#include <cstdint>

#include <windows.h>

namespace platform {

inline constexpr uint32_t kSystemColorFlag = 0x80000000u;
inline constexpr uint32_t SystemColor(int index) { return kSystemColorFlag | static_cast<uint32_t>(index); }

inline COLORREF ResolveColor(uint32_t color) {
  return (color & kSystemColorFlag) ? GetSysColor(static_cast<int>(color & 0xFF)) : static_cast<COLORREF>(color);
}

}  // namespace platform
