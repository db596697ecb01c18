#pragma once
// Font settings of a control and the system font object made from them.

#include <cstdint>
#include <string>

#include <windows.h>

#include "platform/color.h"

namespace platform {

struct FontSpec {
  std::string face = "MS Sans Serif";  // Windows-1251
  int height = 0;                       // logical height: negative = character height in pixels, 0 = default
  bool bold = false;
  bool italic = false;
  bool underline = false;
  uint32_t color = SystemColor(COLOR_WINDOWTEXT);  // text colour
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Owns one HFONT made from a FontSpec, in the Cyrillic character set.
class Font {
 public:
  explicit Font(const FontSpec& spec);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  HFONT Handle() const { return font_; }
  const FontSpec& Spec() const { return spec_; }

 private:
  FontSpec spec_;
  HFONT font_;
};

}  // namespace platform
