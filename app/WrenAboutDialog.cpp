#include "app/WrenAboutDialog.h"

#include <algorithm>
#include <string>

#include "platform/button.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/shell.h"

platform::Form* AboutForm = nullptr;
platform::Label* ProductLabel = nullptr;
platform::Label* DateLabel = nullptr;
platform::Label* AuthorLabel = nullptr;
platform::Label* MailLabel = nullptr;
platform::Label* WebLabel = nullptr;
platform::Button* OkButton = nullptr;

namespace {

constexpr uint32_t kGreen = RGB(0, 128, 0);
constexpr uint32_t kNavy = RGB(0, 0, 128);
constexpr uint32_t kBlue = RGB(0, 0, 255);
constexpr int kFontHeight = -11;
constexpr int kTitleFontHeight = -14;
constexpr int kOkBottomMargin = 8;

// "О Программе...", "Дата:", "Автор:"
constexpr char kAboutText[] = "\xCE \xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5...";
constexpr char kDateCaption[] = "\xC4\xE0\xF2\xE0:";
constexpr char kAuthorCaption[] = "\xC0\xE2\xF2\xEE\xF0:";
constexpr char kMailPrefix[] = "mailto:";

// The dialog window: a child with a thick frame that the user cannot drag,
// so its size stays 240 x 150.
class AboutDialogForm : public platform::Form {
 public:
  explicit AboutDialogForm(platform::Control& parent)
      : Form(&parent, kAboutText, WS_THICKFRAME | WS_CLIPCHILDREN, 0) {}

  ~AboutDialogForm() override {
    if (AboutForm != this) return;
    AboutForm = nullptr;
    ProductLabel = DateLabel = AuthorLabel = MailLabel = WebLabel = nullptr;
    OkButton = nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_NCHITTEST: {
        const LRESULT hit = Form::HandleMessage(msg, wp, lp);
        const bool sizingEdge = (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) || hit == HTSIZE;
        return sizingEdge ? HTBORDER : hit;
      }
      case WM_COMMAND:
        // Enter and Escape where no push button has the focus (the keyboard's IDOK and IDCANCEL).
        if (lp == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) && OkButton) {
          OkButton->Click();
          return 0;
        }
        return Form::HandleMessage(msg, wp, lp);
      case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize = {AboutFormWidth, AboutFormHeight};
        info->ptMaxTrackSize = {AboutFormWidth, AboutFormHeight};
        return 0;
      }
      default:
        return Form::HandleMessage(msg, wp, lp);
    }
  }
};

platform::FontSpec LabelFont(uint32_t color = platform::FontSpec{}.color, bool underline = false) {
  platform::FontSpec font;
  font.height = kFontHeight;
  font.color = color;
  font.underline = underline;
  return font;
}

platform::Label& AddLabel(platform::Control& parent, std::string_view text, int left, int top, int width,
                          int height, const platform::FontSpec& font) {
  platform::Label& label = parent.Add<platform::Label>(text);
  label.SetBounds({left, top, left + width, top + height});
  label.SetFont(font);
  return label;
}

// A caption on the left and its value label on the right, on one row.
platform::Label& AddRow(platform::Control& parent, std::string_view caption, int top, int valueHeight,
                        const platform::FontSpec& valueFont) {
  AddLabel(parent, caption, 2, top, 40, 22, LabelFont());
  return AddLabel(parent, {}, 42, top, 200, valueHeight, valueFont);
}

void MakeLink(platform::Label& label, std::string prefix) {
  label.SetCursor(LoadCursorW(nullptr, IDC_HAND));
  label.OnClick = [prefix = std::move(prefix)](platform::Label& clicked) {
    platform::ShellOpen(AboutForm ? AboutForm->Handle() : nullptr, prefix + clicked.Text());
  };
}

// Centred in the parent's client area; when that is smaller than the dialog,
// the dialog starts at its top-left corner, so the Ok button stays reachable.
void PlaceInParent(platform::Form& form) {
  const platform::Rect area = form.Parent()->ClientRect();
  form.SetPosition(std::max(0, platform::CenteredOrigin(area.Width(), AboutFormWidth)),
                   std::max(0, platform::CenteredOrigin(area.Height(), AboutFormHeight)));
}

// The dialog keeps the place it had; it goes back to the centre only when
// the parent was made so small that the place no longer lies inside.
void KeepInParent(platform::Form& form) {
  const platform::Rect area = form.Parent()->ClientRect();
  const platform::Rect placed = form.Bounds();
  const bool inside = placed.left >= area.left && placed.top >= area.top && placed.right <= area.right &&
                      placed.bottom <= area.bottom;
  if (!inside) PlaceInParent(form);
}

}  // namespace

void CreateAboutDialog(platform::Control& parent) {
  auto& form = parent.Add<AboutDialogForm>();
  AboutForm = &form;
  form.SetSize(AboutFormWidth, AboutFormHeight);
  PlaceInParent(form);

  platform::FontSpec titleFont;
  titleFont.height = kTitleFontHeight;
  titleFont.bold = true;
  titleFont.color = kGreen;
  ProductLabel = &form.Add<platform::Label>("");
  ProductLabel->SetHeight(22);
  ProductLabel->SetAlign(platform::Align::Top);
  ProductLabel->SetCentered(true);
  ProductLabel->SetFont(titleFont);

  DateLabel = &AddRow(form, kDateCaption, 26, 22, LabelFont(kNavy));
  AuthorLabel = &AddRow(form, kAuthorCaption, 48, 22, LabelFont(kNavy));
  MailLabel = &AddRow(form, "E-mail:", 70, 17, LabelFont(kBlue, true));
  WebLabel = &AddRow(form, "Web:", 92, 17, LabelFont(kBlue, true));
  MakeLink(*MailLabel, kMailPrefix);
  MakeLink(*WebLabel, "");

  OkButton = &form.Add<platform::Button>("Ok");
  OkButton->SetFont(LabelFont());
  const platform::Rect client = form.ClientRect();
  OkButton->SetPosition(client.Width() / 2 - OkButton->Width() / 2,
                        client.Height() - OkButton->Height() - kOkBottomMargin);
  OkButton->OnClick = [](platform::Button&) {
    AboutForm->SetModalResult(1);
    AboutForm->Hide();
  };
  form.OnShow = [](platform::Form&) { SetFocus(OkButton->Handle()); };
}

void ShowAboutDialog(std::string_view product, std::string_view date, std::string_view author,
                     std::string_view mail, std::string_view web) {
  if (!AboutForm) return;
  ProductLabel->SetText(product);
  DateLabel->SetText(date);
  AuthorLabel->SetText(author);
  MailLabel->SetText(mail);
  WebLabel->SetText(web);
  KeepInParent(*AboutForm);
  SetWindowPos(AboutForm->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  AboutForm->ShowModal();
}
