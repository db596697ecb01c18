#include "platform/combo_box.h"

#include <cassert>

#include <commctrl.h>

#include "platform/text.h"

namespace platform {

ComboBox::ComboBox(Control& parent) : Control(&parent) {
  CreateHandle(L"COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL, 0,
               {0, 0, 100, 21});
  Send(CB_SETMINVISIBLE, kDroppedItems);
  SetWindowPos(Handle(), nullptr, 0, 0, 100, 21, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);  // see HandleMessage
}

LRESULT ComboBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // The height a combo box is given from outside is the height of its
  // dropped-down list; the box then sizes itself to its selection field,
  // also after a font change, from inside its own message handling. Whatever
  // height the owner asks for, the list gets room for kDroppedItems items;
  // the box's own resizing is left alone.
  // The dropped-down list asks its combo box for its colours.
  if (msg == WM_CTLCOLORLISTBOX) {
    if (HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(brush);
  }
  // Alt with a key other than the arrows, which drop the list down, belongs to
  // the window (Alt+F4 closes it); some combo boxes keep every such key to themselves.
  if (msg == WM_SYSKEYDOWN && wp != VK_UP && wp != VK_DOWN) return DefWindowProcW(Handle(), msg, wp, lp);
  if (msg == WM_WINDOWPOSCHANGING && nested_ == 0) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (!(pos->flags & SWP_NOSIZE)) {
      const int field = static_cast<int>(DefaultHandling(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) +
                        2 * GetSystemMetrics(SM_CYEDGE) + 2;
      const int item = static_cast<int>(DefaultHandling(CB_GETITEMHEIGHT, 0, 0));
      pos->cy = field + kDroppedItems * item + 2;
    }
  }
  ++nested_;
  const LRESULT result = DefaultHandling(msg, wp, lp);
  --nested_;
  if (msg == WM_SETFONT && nested_ == 0) {
    // New item heights: make room for kDroppedItems items of the new font.
    RECT rc;
    GetWindowRect(Handle(), &rc);
    SetWindowPos(Handle(), nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return result;
}

bool ComboBox::OnCommand(WORD code) {
  if (code != CBN_SELCHANGE) return false;
  if (OnSelChange) OnSelChange();
  return true;
}

int ComboBox::Count() const {
  assert(IsWindow(Handle()));
  return static_cast<int>(Send(CB_GETCOUNT));
}

void ComboBox::Clear() {
  assert(IsWindow(Handle()));
  Send(CB_RESETCONTENT);
}

void ComboBox::AddItem(std::string_view cp1251) {
  assert(IsWindow(Handle()));
  const std::wstring text = Widen(cp1251);
  Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ComboBox::Item(int index) const {
  assert(IsWindow(Handle()));
  const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (got == CB_ERR) return {};
  text.resize(static_cast<size_t>(got));
  return Narrow(text);
}

int ComboBox::FindPrefix(std::string_view prefix) const {
  assert(IsWindow(Handle()));
  if (prefix.empty()) return -1;
  const std::wstring text = Widen(prefix);
  const LRESULT found = Send(CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  return found == CB_ERR ? -1 : static_cast<int>(found);
}

int ComboBox::SelectedIndex() const {
  assert(IsWindow(Handle()));
  const LRESULT index = Send(CB_GETCURSEL);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::Select(int index) {
  assert(IsWindow(Handle()));
  Send(CB_SETCURSEL, static_cast<WPARAM>(index));
}

std::string ComboBox::SelectedText() const {
  const int index = SelectedIndex();
  return index < 0 ? std::string() : Item(index);
}

}  // namespace platform
