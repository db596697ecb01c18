// The browsing components are registered with their parent for release:
// they go when the parent's window goes, once, and no event reaches them after.
#include <gtest/gtest.h>

#include <memory>

#include "controls/KOLWrenDirectoryListBox.h"
#include "controls/KOLWrenDriveComboBox.h"
#include "controls/KOLWrenFileListBox.h"
#include "platform/form.h"
#include "platform/panel.h"

namespace {

TEST(BrowsingComponents, AreReleasedWithTheirParent) {
  auto token = std::make_shared<int>(0);
  HWND combo = nullptr, folders = nullptr, files = nullptr;
  {
    platform::Form form("owner");
    platform::Panel& pane = form.Add<platform::Panel>(platform::Edge::None);
    WrenDriveComboBox& drive = NewWrenDriveComboBox(pane);
    WrenDirectoryListBox& folderList = NewWrenDirectoryListBox(pane);
    WrenFileListBox& fileList = NewWrenFileListBox(pane, 0x1A);
    // Each component holds a copy of the token in its event; releasing the component releases it.
    drive.OnChange = [token](WrenDriveComboBox&) {};
    folderList.OnChange = [token](WrenDirectoryListBox&) {};
    fileList.OnChange = [token](WrenFileListBox&) {};
    combo = drive.ComboBox.Handle();
    folders = folderList.ListView.Handle();
    files = fileList.ListBox.Handle();
    ASSERT_EQ(token.use_count(), 4);

    pane.Destroy();
    EXPECT_EQ(token.use_count(), 1) << "have " << token.use_count() - 1 << " components alive, want none";
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(folders));
    EXPECT_FALSE(IsWindow(files));
  }
  EXPECT_EQ(token.use_count(), 1);
}

}  // namespace
