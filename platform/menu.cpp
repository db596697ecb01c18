#include "platform/menu.h"

#include <cassert>

#include "platform/form.h"
#include "platform/text.h"

namespace platform {

namespace {
constexpr UINT kFirstCommand = 100;  // command id of item i is kFirstCommand + i
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
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    if (item.text == "-") {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
      InsertMenuItemW(parent, position++, TRUE, &info);
      continue;
    }
    const int index = Count();
    items_.push_back({parent, position, nullptr});
    std::wstring text = Widen(item.text);
    info.fMask = MIIM_STRING | MIIM_ID;
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

void Menu::SetHandler(int index, std::function<void()> handler) {
  assert(index >= 0 && index < Count());
  items_[static_cast<size_t>(index)].handler = std::move(handler);
}

void Menu::SetItemEnabled(int index, bool enabled) {
  assert(index >= 0 && index < Count());
  const Entry& e = items_[static_cast<size_t>(index)];
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  info.fState = enabled ? MFS_ENABLED : (MFS_DISABLED | MFS_GRAYED);
  SetMenuItemInfoW(e.parent, e.position, TRUE, &info);
  if (e.parent == bar_ && window_.Handle()) DrawMenuBar(window_.Handle());
}

bool Menu::ItemEnabled(int index) const {
  assert(index >= 0 && index < Count());
  const Entry& e = items_[static_cast<size_t>(index)];
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  GetMenuItemInfoW(e.parent, e.position, TRUE, &info);
  return !(info.fState & (MFS_DISABLED | MFS_GRAYED));
}

std::string Menu::ItemText(int index) const {
  assert(index >= 0 && index < Count());
  const Entry& e = items_[static_cast<size_t>(index)];
  wchar_t text[256] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = 255;
  GetMenuItemInfoW(e.parent, e.position, TRUE, &info);
  return Narrow(text);
}

void Menu::Choose(int index) {
  assert(index >= 0 && index < Count());
  // A copy: the handler may end the menu's life while it runs (the end of the session).
  if (const auto handler = items_[static_cast<size_t>(index)].handler) handler();
}

bool Menu::Command(UINT id) {
  const int index = static_cast<int>(id) - static_cast<int>(kFirstCommand);
  if (index < 0 || index >= Count()) return false;
  Choose(index);
  return true;
}

}  // namespace platform
