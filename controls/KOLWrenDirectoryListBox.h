#pragma once
// The directory list box: a drive row and one row per folder on the way down
// to the current folder (the hierarchy rows), then the subfolders of the
// current folder. A double click with any mouse button enters the folder of
// the selected row.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/control.h"
#include "platform/image_list.h"
#include "platform/list_view.h"
#include "platform/mouse_event.h"

class WrenDirectoryListBox : public platform::Owned {
 public:
  // Pictures of the ICONS strip, in strip order.
  enum Image { kClosedFolder, kOpenFolder, kHardDisk, kFloppy, kCdRom, kNetwork };

  platform::ListView& ListView;
  std::string Path;      // the current folder, ending in "\"; empty after a folder that does not exist
  int Levels = 0;        // rows 0 .. Levels - 1 are hierarchy rows
  uint32_t Color = 0;    // background and text background, applied at every SetPath
  bool Indent = false;   // true: hierarchy rows indented by depth, subfolders one deeper
  bool IntegralHeight = true;  // read by the first SetPath only
  int ChangeCount = 0;   // SetPath calls so far, held at 2
  std::function<void(WrenDirectoryListBox& sender)> OnChange;
  std::function<void(WrenDirectoryListBox& sender, const platform::MouseEvent& mouse)> OnEnterFolder;

  WrenDirectoryListBox(platform::ListView& listView, platform::ImageList& images);

  WrenDirectoryListBox& SetAlign(platform::Align align);
  WrenDirectoryListBox& SetSize(int width, int height);
  // A folder, or a single drive letter for the drive's root.
  void SetPath(std::string_view path);

 private:
  void DoubleClick(const platform::MouseEvent& mouse);

  bool columnAdded_ = false;
};

WrenDirectoryListBox& NewWrenDirectoryListBox(platform::Control& parent);
