#include "platform/list_box.h"

#include <cassert>

#include "platform/text.h"

namespace platform {

ListBox::ListBox(Control& parent, DWORD style) : Control(&parent) {
  CreateHandle(L"LISTBOX", WS_VISIBLE | LBS_NOTIFY | style, 0, {0, 0, 100, 100});
}

bool ListBox::OnCommand(WORD code) {
  if (code != LBN_SELCHANGE) return false;
  if (OnSelChange) OnSelChange();
  return true;
}

int ListBox::Count() const {
  assert(IsWindow(Handle()));
  return static_cast<int>(Send(LB_GETCOUNT));
}

void ListBox::Clear() {
  assert(IsWindow(Handle()));
  Send(LB_RESETCONTENT);
}

std::string ListBox::Item(int index) const {
  assert(IsWindow(Handle()));
  const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  if (got == LB_ERR) return {};
  text.resize(static_cast<size_t>(got));
  return NarrowName(text);
}

void ListBox::Insert(int index, std::string_view utf8) {
  assert(IsWindow(Handle()));
  const std::wstring text = WidenName(utf8);
  Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBox::Delete(int index) {
  assert(IsWindow(Handle()));
  Send(LB_DELETESTRING, static_cast<WPARAM>(index));
}

int ListBox::SelState(int index) const {
  assert(IsWindow(Handle()));
  return static_cast<int>(Send(LB_GETSEL, static_cast<WPARAM>(index)));
}

int ListBox::CaretIndex() const {
  assert(IsWindow(Handle()));
  const LRESULT index = Send(LB_GETCARETINDEX);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::SetCurSel(int index) {
  assert(IsWindow(Handle()));
  Send(LB_SETCURSEL, static_cast<WPARAM>(index));
}

}  // namespace platform
