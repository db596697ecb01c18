#pragma once
// A window's menu bar, built from item texts. Items are numbered in menu
// order, drop-downs and commands alike, separators not counted:
//
//   Menu menu(window, {{"File", {{"Save"}, {"-"}, {"Exit"}}}, {"About"}});
//   // 0 File, 1 Save, 2 Exit, 3 About
//
// The menu is destroyed with its window; register the object with the window
// (Own): it must not outlive the Form object. The window hands the commands of
// the menu to it (Form::HandleMessage).

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "platform/control.h"

namespace platform {

class Form;

struct MenuItem {
  MenuItem(std::string text, std::vector<MenuItem> items = {}) : text(std::move(text)), items(std::move(items)) {}
  std::string text;             // Windows-1251; "-" makes a separator
  std::vector<MenuItem> items;  // non-empty: a drop-down
};

class Menu : public Owned {
 public:
  Menu(Form& window, const std::vector<MenuItem>& bar);
  ~Menu() override;

  int Count() const { return static_cast<int>(items_.size()); }
  void SetHandler(int index, std::function<void()> handler);
  // Enables the item, or disables and greys it; written every call, changed or not.
  void SetItemEnabled(int index, bool enabled);
  bool ItemEnabled(int index) const;
  std::string ItemText(int index) const;
  // Runs the handler of an item as if it had been chosen.
  void Choose(int index);
  // Runs the handler of the item with this command id; false when no item has it.
  bool Command(UINT id);

 private:
  struct Entry {
    HMENU parent;
    UINT position;
    std::function<void()> handler;
  };
  void Build(HMENU parent, const std::vector<MenuItem>& items);
  // The entry of an item; `index` must be that of an item.
  Entry& At(int index);
  const Entry& At(int index) const;

  Form& window_;
  HMENU bar_;
  std::vector<Entry> items_;
};

}  // namespace platform
