#include "platform/menu.h"

#include <cassert>

#include "platform/form.h"
#include "platform/text.h"

namespace platform {

namespace {

constexpr UINT kFirstCommand = 100;  // command id of item i is kFirstCommand + i

MENUITEMINFOW InfoAsking(UINT mask) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  return info;
}

}  // namespace

Menu::Menu(Form& window, const std::vector<MenuItem>& bar) : window_(window), bar_(CreateMenu()) {
  assert(IsWindow(window.Handle()));
  Build(bar_, bar);
  SetMenu(window.Handle(), bar_);
  window.SetMenuBar(this);
}

Menu::~Menu() {
  if (window_.MenuBar() == this) window_.SetMenuBar(nullptr);
  if (!window_.Handle()) return;  // the window went first and took the menu with it
  SetMenu(window_.Handle(), nullptr);
  DestroyMenu(bar_);
}

void Menu::Build(HMENU parent, const std::vector<MenuItem>& items) {
  UINT position = 0;
  for (const MenuItem& item : items) {
    if (item.text == "-") {
      MENUITEMINFOW separator = InfoAsking(MIIM_FTYPE);
      separator.fType = MFT_SEPARATOR;
      InsertMenuItemW(parent, position++, TRUE, &separator);
      continue;
    }
    const int index = Count();
    items_.push_back({parent, position, nullptr});
    std::wstring text = Widen(item.text);
    MENUITEMINFOW info = InfoAsking(MIIM_STRING | MIIM_ID);
    info.dwTypeData = text.data();
    info.wID = kFirstCommand + static_cast<UINT>(index);
    if (!item.items.empty()) {
      HMENU dropDown = CreatePopupMenu();
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = dropDown;
      InsertMenuItemW(parent, position++, TRUE, &info);
      Build(dropDown, item.items);
    } else {
      InsertMenuItemW(parent, position++, TRUE, &info);
    }
  }
}

Menu::Entry& Menu::At(int index) {
  assert(index >= 0 && index < Count());
  return items_[static_cast<size_t>(index)];
}

const Menu::Entry& Menu::At(int index) const { return const_cast<Menu*>(this)->At(index); }

void Menu::SetHandler(int index, std::function<void()> handler) { At(index).handler = std::move(handler); }

void Menu::SetItemEnabled(int index, bool enabled) {
  const Entry& e = At(index);
  MENUITEMINFOW info = InfoAsking(MIIM_STATE);
  info.fState = enabled ? MFS_ENABLED : (MFS_DISABLED | MFS_GRAYED);
  SetMenuItemInfoW(e.parent, e.position, TRUE, &info);
  if (e.parent == bar_ && window_.Handle()) DrawMenuBar(window_.Handle());
}

bool Menu::ItemEnabled(int index) const {
  const Entry& e = At(index);
  MENUITEMINFOW info = InfoAsking(MIIM_STATE);
  GetMenuItemInfoW(e.parent, e.position, TRUE, &info);
  return !(info.fState & (MFS_DISABLED | MFS_GRAYED));
}

std::string Menu::ItemText(int index) const {
  const Entry& e = At(index);
  wchar_t text[256] = {};
  MENUITEMINFOW info = InfoAsking(MIIM_STRING);
  info.dwTypeData = text;
  info.cch = 255;
  GetMenuItemInfoW(e.parent, e.position, TRUE, &info);
  return Narrow(text);
}

void Menu::Choose(int index) {
  // A copy: the handler may end the menu's life while it runs (the end of the session).
  if (const auto handler = At(index).handler) handler();
}

bool Menu::Command(UINT id) {
  const int index = static_cast<int>(id) - static_cast<int>(kFirstCommand);
  if (index < 0 || index >= Count()) return false;
  Choose(index);
  return true;
}

}  // namespace platform
