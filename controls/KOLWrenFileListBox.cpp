#include "controls/KOLWrenFileListBox.h"

#include <iterator>
#include <memory>

#include <windows.h>

#include "platform/file_system.h"

namespace {

constexpr int kListFontHeight = -11;
constexpr int kRowHeight = 14;
constexpr int kFrame = 6;

// Bit i of the options word adds style i. Bit 8 stands for LBS_HASSTRINGS when clear, and the base style
// always has it, so that bit changes nothing either way.
constexpr DWORD kOptionStyles[] = {
    LBS_DISABLENOSCROLL,          LBS_EXTENDEDSEL, LBS_MULTICOLUMN | WS_HSCROLL, LBS_MULTIPLESEL,
    LBS_NOINTEGRALHEIGHT,         LBS_NOSEL,       LBS_SORT,                     LBS_USETABSTOPS,
    0 /* clear: LBS_HASSTRINGS */, LBS_NODATA,     LBS_OWNERDRAWFIXED,           LBS_OWNERDRAWVARIABLE,
};

// Only the bytes of ASCII letters change: the other letters of a UTF-8 name
// are made of bytes above 0x7F and stay as they are.
std::string WithAsciiCase(std::string text, int32_t caseMode) {
  for (char& c : text) {
    if (caseMode == WrenFileListBox::kCaseLower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (caseMode == WrenFileListBox::kCaseUpper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

DWORD WrenFileListBox::StyleFor(uint16_t options) {
  DWORD style = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS;
  for (size_t bit = 0; bit < std::size(kOptionStyles); ++bit) {
    if (options & (1u << bit)) style |= kOptionStyles[bit];
  }
  return style;
}

WrenFileListBox::WrenFileListBox(platform::ListBox& listBox) : ListBox(listBox) {
  ListBox.OnSelChange = [this] {
    if (OnChange) OnChange(*this);
  };
}

WrenFileListBox& NewWrenFileListBox(platform::Control& parent, uint16_t options) {
  auto& listBox = parent.Add<platform::ListBox>(WrenFileListBox::StyleFor(options));
  platform::FontSpec font = listBox.GetFont();
  font.height = kListFontHeight;
  listBox.SetFont(font);
  return parent.Own(std::make_unique<WrenFileListBox>(listBox));
}

WrenFileListBox& WrenFileListBox::SetAlign(platform::Align align) {
  ListBox.SetAlign(align);
  return *this;
}

void WrenFileListBox::SetMask(std::string_view mask) {
  Mask = mask;
  SetPath(std::string(Path));
}

void WrenFileListBox::SetPath(std::string_view folder) {
  if (!platform::IsDirectory(folder)) {
    Path.clear();
    return;
  }
  Path = folder;
  ListBox.Clear();
  ListBox.SetColor(Color);
  // No test for a "\" at the end of the folder: the system's search accepts a doubled one.
  for (const std::string& name : platform::ListFiles(Path + "\\" + Mask)) {
    ListBox.Insert(-1, WithAsciiCase(name, CaseMode));
  }
}

void WrenFileListBox::SetIntegralHeight(bool integral) {
  IntegralHeight = integral;
  if (IntegralHeight) ListBox.SetHeight(ListBox.Height() / kRowHeight * kRowHeight + kFrame);
}

void WrenFileListBox::SetCurIndex(int index) { ListBox.SetCurSel(index); }

// The caret, not LB_GETCURSEL: on a multiple-selection list some systems
// answer the current-selection query with the item last reached by a key.
std::string WrenFileListBox::CurrentItem() const {
  const int index = ListBox.CaretIndex();
  return index < 0 ? std::string() : ListBox.Item(index);
}

int WrenFileListBox::Count() const { return ListBox.Count(); }

bool WrenFileListBox::Selected(int index) const {
  if (index > Count() - 1) return false;
  return ListBox.SelState(index) > 0;
}

int WrenFileListBox::SelectedCount() const {
  const int count = Count();
  if (count == 0) return -1;
  int selected = 0;
  for (int i = 0; i < count; ++i) {
    if (ListBox.SelState(i) > 0) ++selected;
  }
  return selected;
}

std::string WrenFileListBox::Item(int index) const { return ListBox.Item(index); }
