#include "platform/font.h"

#include "platform/text.h"

namespace platform {

Font::Font(const FontSpec& spec) : spec_(spec) {
  LOGFONTW lf{};
  lf.lfHeight = spec.height;
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = spec.italic;
  lf.lfUnderline = spec.underline;
  // The program's texts are Russian. Asked for the default character set, a
  // Windows whose language for non-Unicode programs is not Russian gives the
  // face without Cyrillic letters; asked for Cyrillic, it picks a face that
  // has them (on a Russian Windows still MS Sans Serif itself).
  lf.lfCharSet = RUSSIAN_CHARSET;
  const std::wstring face = Widen(spec.face);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  font_ = CreateFontIndirectW(&lf);
}

Font::~Font() {
  if (font_) DeleteObject(font_);
}

}  // namespace platform
