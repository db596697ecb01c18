#include "platform/list_view.h"

#include <cassert>

#include "platform/text.h"

namespace platform {

namespace {

const wchar_t* RegisteredListViewClass() {
  // Once. Should it fail, the list view is made without a window, like any control whose creation fails.
  [[maybe_unused]] static const bool registered = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  return WC_LISTVIEWW;
}

}  // namespace

ListView::ListView(Control& parent, DWORD style, DWORD exStyle) : Control(&parent) {
  CreateHandle(RegisteredListViewClass(), WS_VISIBLE | style, 0, {0, 0, 100, 100});
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
}

LRESULT ListView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      const LRESULT result = DefaultHandling(msg, wp, lp);
      if (OnDoubleClick && !Dying()) OnDoubleClick(MouseEvent::From(msg, wp, lp));
      return result;
    }
    default:
      return DefaultHandling(msg, wp, lp);
  }
}

void ListView::SetSmallImages(const ImageList& images) {
  assert(IsWindow(Handle()));
  Send(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.Handle()));
}

void ListView::AddColumn(std::string_view caption, int width) {
  assert(IsWindow(Handle()));
  std::wstring text = WidenName(caption);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = text.data();
  column.cx = width;
  if (Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(columns_), reinterpret_cast<LPARAM>(&column)) >= 0) ++columns_;
}

void ListView::SetColumnWidth(int column, int width) {
  assert(IsWindow(Handle()));
  Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

int ListView::ColumnWidth(int column) const {
  assert(IsWindow(Handle()));
  return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

int ListView::Count() const {
  assert(IsWindow(Handle()));
  return static_cast<int>(Send(LVM_GETITEMCOUNT));
}

void ListView::Clear() {
  assert(IsWindow(Handle()));
  Send(LVM_DELETEALLITEMS);
}

int ListView::AddRow(std::string_view utf8, int image) {
  assert(IsWindow(Handle()));
  std::wstring text = WidenName(utf8);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = Count();
  item.pszText = text.data();
  item.iImage = image;
  return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetIndent(int row, int indent) {
  assert(IsWindow(Handle()));
  LVITEMW item{};
  item.mask = LVIF_INDENT;
  item.iItem = row;
  item.iIndent = indent;
  Send(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::string ListView::RowText(int row) const {
  assert(IsWindow(Handle()));
  // Names are at most MAX_PATH characters long.
  wchar_t buffer[MAX_PATH + 1] = {};
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = buffer;
  item.cchTextMax = MAX_PATH + 1;
  const LRESULT length = Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return NarrowName(std::wstring_view(buffer, static_cast<size_t>(length)));
}

int ListView::RowImage(int row) const {
  assert(IsWindow(Handle()));
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
}

int ListView::RowIndent(int row) const {
  assert(IsWindow(Handle()));
  LVITEMW item{};
  item.mask = LVIF_INDENT;
  item.iItem = row;
  return Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iIndent : -1;
}

int ListView::NextSelected(int start) const {
  assert(IsWindow(Handle()));
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(LVNI_SELECTED, 0)));
}

void ListView::SetSelected(int row, bool selected) {
  assert(IsWindow(Handle()));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ListView::SetBkColor(uint32_t color) {
  assert(IsWindow(Handle()));
  Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ResolveColor(color)));
  InvalidateRect(Handle(), nullptr, TRUE);
}

void ListView::SetTextBkColor(uint32_t color) {
  assert(IsWindow(Handle()));
  Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ResolveColor(color)));
}

}  // namespace platform
