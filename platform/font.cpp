#include "platform/font.h"

#include "platform/text.h"

namespace platform {

Font::Font(const FontSpec& spec) : spec_(spec) {
  LOGFONTW lf{};
  lf.lfHeight = spec.height;
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = spec.italic;
  lf.lfUnderline = spec.underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = Widen(spec.face);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  font_ = CreateFontIndirectW(&lf);
}

Font::~Font() {
  if (font_) DeleteObject(font_);
}

}  // namespace platform
