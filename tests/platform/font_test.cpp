// The fonts of the controls ask for the Cyrillic character set, so that
// Windows picks a face that has the letters of the program's Russian texts
// also where the language for non-Unicode programs is not Russian.

#include "platform/font.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <windows.h>

#include "platform/button.h"
#include "platform/combo_box.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/list_box.h"
#include "platform/list_view.h"

namespace {

using namespace platform;

struct Selected {
  int charset = -1;  // what the system reports for the font selected into the drawing surface
  int metricsCharset = -1;
  int askedCharset = -1;  // what the font asked for
  std::wstring askedFace;
};

// The font the control draws with, selected into the control's own drawing surface.
Selected SelectedFont(const Control& control) {
  Selected got;
  const auto font = reinterpret_cast<HFONT>(control.Send(WM_GETFONT));
  if (!font) return got;
  HDC dc = GetDC(control.Handle());
  const HGDIOBJ before = SelectObject(dc, font);
  got.charset = GetTextCharsetInfo(dc, nullptr, 0);
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc, &metrics)) got.metricsCharset = metrics.tmCharSet;
  SelectObject(dc, before);
  ReleaseDC(control.Handle(), dc);
  LOGFONTW asked{};
  if (GetObjectW(font, sizeof asked, &asked)) {
    got.askedCharset = asked.lfCharSet;
    got.askedFace = asked.lfFaceName;
  }
  return got;
}

// The face that Windows picks depends on the fonts of the machine (Wine has
// no Cyrillic MS Sans Serif and picks another face); the character set of
// what it picked must be Cyrillic wherever it runs.
TEST(Font, EveryControlDrawsWithACyrillicFontAskedForAsMsSansSerif) {
  FontSpec title;
  title.height = -14;
  title.bold = true;
  FontSpec link;
  link.height = -11;
  link.underline = true;
  FontSpec small;
  small.height = -11;

  Form form("fonts");
  const struct {
    const char* kind;
    std::function<Control&()> make;
    FontSpec spec;
  } cases[] = {
      {"label, default font", [&]() -> Control& { return form.Add<Label>("x"); }, FontSpec{}},
      {"label, bold title", [&]() -> Control& { return form.Add<Label>("x"); }, title},
      {"label, underlined link", [&]() -> Control& { return form.Add<Label>("x"); }, link},
      {"button", [&]() -> Control& { return form.Add<Button>("Ok"); }, small},
      {"combo box", [&]() -> Control& { return form.Add<ComboBox>(); }, small},
      {"list box", [&]() -> Control& { return form.Add<ListBox>(WS_VSCROLL); }, small},
      {"list view", [&]() -> Control& { return form.Add<ListView>(LVS_REPORT, 0); }, FontSpec{}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    Control& control = c.make();
    control.SetFont(c.spec);
    const Selected got = SelectedFont(control);
    EXPECT_EQ(got.charset, RUSSIAN_CHARSET) << "have character set " << got.charset << ", want " << RUSSIAN_CHARSET;
    EXPECT_EQ(got.metricsCharset, RUSSIAN_CHARSET);
    EXPECT_EQ(got.askedCharset, RUSSIAN_CHARSET);
    EXPECT_EQ(got.askedFace, L"MS Sans Serif");
  }
}

}  // namespace
