#include "platform/menu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/button.h"
#include "platform/form.h"

namespace platform {
namespace {

std::vector<MenuItem> FileAndAbout() {
  return {{"File", {{"Save"}, {"Save all"}, {"-"}, {"Exit"}}}, {"About"}};
}

TEST(Menu, NumbersItemsInMenuOrderWithoutSeparators) {
  Form form("menu");
  Menu& menu = form.Own(std::make_unique<Menu>(form, FileAndAbout()));
  ASSERT_EQ(GetMenu(form.Handle()) != nullptr, true);
  const std::vector<std::string> want = {"File", "Save", "Save all", "Exit", "About"};
  ASSERT_EQ(menu.Count(), static_cast<int>(want.size()));
  for (int i = 0; i < menu.Count(); ++i) EXPECT_EQ(menu.ItemText(i), want[i]) << "item " << i;
}

TEST(Menu, AChosenCommandRunsTheHandlerOfItsIndexOnly) {
  Form form("menu");
  Menu& menu = form.Own(std::make_unique<Menu>(form, FileAndAbout()));
  std::vector<int> ran;
  for (int i = 1; i < menu.Count(); ++i) menu.SetHandler(i, [&ran, i] { ran.push_back(i); });
  // What Windows sends when the user picks an item: the item's id, no control handle.
  HMENU dropDown = GetSubMenu(GetMenu(form.Handle()), 0);
  const UINT exitId = GetMenuItemID(dropDown, 3);  // position 3: after the separator
  form.Send(WM_COMMAND, MAKEWPARAM(exitId, 0), 0);
  const UINT aboutId = GetMenuItemID(GetMenu(form.Handle()), 1);
  form.Send(WM_COMMAND, MAKEWPARAM(aboutId, 0), 0);
  EXPECT_EQ(ran, (std::vector<int>{3, 4}));
}

TEST(Menu, OnlyCommandsOfTheMenuBarReachItsHandlers) {
  Form form("menu");
  Menu& menu = form.Own(std::make_unique<Menu>(form, FileAndAbout()));
  Button& button = form.Add<Button>("Ok");
  std::vector<int> ran;
  for (int i = 0; i < menu.Count(); ++i) menu.SetHandler(i, [&ran, i] { ran.push_back(i); });
  const UINT aboutId = GetMenuItemID(GetMenu(form.Handle()), 1);
  const struct {
    const char* name;
    WPARAM wp;
    LPARAM lp;
  } notCommands[] = {
      {"a control's notification with the same id", MAKEWPARAM(aboutId, BN_CLICKED),
       reinterpret_cast<LPARAM>(button.Handle())},
      {"an accelerator", MAKEWPARAM(aboutId, 1), 0},
      {"an id below the first item", MAKEWPARAM(aboutId - 5, 0), 0},
      {"an id past the last item", MAKEWPARAM(aboutId + 1, 0), 0},
  };
  for (const auto& c : notCommands) {
    form.Send(WM_COMMAND, c.wp, c.lp);
    EXPECT_TRUE(ran.empty()) << c.name << " ran item " << (ran.empty() ? -1 : ran.back());
    ran.clear();
  }
}

TEST(Menu, DisabledItemsAreGreyedAndEnabledAgain) {
  Form form("menu");
  Menu& menu = form.Own(std::make_unique<Menu>(form, FileAndAbout()));
  HMENU dropDown = GetSubMenu(GetMenu(form.Handle()), 0);
  for (int i = 0; i < menu.Count(); ++i) EXPECT_TRUE(menu.ItemEnabled(i)) << "item " << i << " starts enabled";
  menu.SetItemEnabled(2, false);
  EXPECT_FALSE(menu.ItemEnabled(2));
  EXPECT_TRUE(menu.ItemEnabled(1));
  EXPECT_EQ(GetMenuState(dropDown, 1, MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED), UINT(MF_DISABLED | MF_GRAYED));
  menu.SetItemEnabled(2, true);
  EXPECT_EQ(GetMenuState(dropDown, 1, MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED), 0u);
}

TEST(Menu, GoesWithItsWindowAndLetsTheWindowGoWithoutIt) {
  HMENU bar = nullptr;
  {
    Form form("menu");
    form.Own(std::make_unique<Menu>(form, FileAndAbout()));
    bar = GetMenu(form.Handle());
  }
  EXPECT_FALSE(IsMenu(bar));

  Form form("menu");
  auto menu = std::make_unique<Menu>(form, FileAndAbout());
  bar = GetMenu(form.Handle());
  menu.reset();
  EXPECT_FALSE(IsMenu(bar));
  EXPECT_EQ(GetMenu(form.Handle()), nullptr);
  form.Send(WM_COMMAND, MAKEWPARAM(100, 0), 0);  // no handler left to reach
}

}  // namespace
}  // namespace platform
