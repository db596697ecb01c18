#include "controls/KOLWrenDirectoryListBox.h"

#include <memory>

#include <windows.h>

#include <commctrl.h>

#include "platform/drives.h"
#include "platform/file_system.h"

namespace {

constexpr int kImageSize = 16;
constexpr COLORREF kTransparent = RGB(255, 255, 255);
constexpr int kRowHeight = 16;

int DrivePicture(unsigned driveType) {
  switch (driveType) {
    case DRIVE_REMOVABLE: return WrenDirectoryListBox::kFloppy;
    case DRIVE_CDROM: return WrenDirectoryListBox::kCdRom;
    case DRIVE_REMOTE: return WrenDirectoryListBox::kNetwork;
    default: return WrenDirectoryListBox::kHardDisk;
  }
}

}  // namespace

WrenDirectoryListBox::WrenDirectoryListBox(platform::ListView& listView, platform::ImageList& images)
    : ListView(listView) {
  ListView.SetSmallImages(images);
  ListView.OnDoubleClick = [this](const platform::MouseEvent& mouse) { DoubleClick(mouse); };
}

WrenDirectoryListBox& NewWrenDirectoryListBox(platform::Control& parent) {
  auto& listView = parent.Add<platform::ListView>(
      WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE |
          LVS_SHAREIMAGELISTS,
      LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  auto& images = parent.Own(std::make_unique<platform::ImageList>(L"ICONS", kImageSize, kTransparent));
  return parent.Own(std::make_unique<WrenDirectoryListBox>(listView, images));
}

WrenDirectoryListBox& WrenDirectoryListBox::SetAlign(platform::Align align) {
  ListView.SetAlign(align);
  return *this;
}

WrenDirectoryListBox& WrenDirectoryListBox::SetSize(int width, int height) {
  ListView.SetWidth(width);
  ListView.SetHeight(height);
  return *this;
}

void WrenDirectoryListBox::SetPath(std::string_view path) {
  ListView.SetBkColor(Color);
  ListView.SetTextBkColor(Color);

  std::string folder(path);
  if (folder.size() == 1) folder += ":\\";

  if (!columnAdded_) {
    columnAdded_ = true;
    ListView.AddColumn("", ListView.Width());
    if (IntegralHeight) ListView.SetHeight(ListView.Height() / kRowHeight * kRowHeight + 1);
  }

  ListView.Clear();
  if (platform::IsDirectory(folder)) {
    Levels = 0;
    int level = 0;
    std::string rest = folder;
    if (rest.back() != '\\') rest += '\\';
    Path = rest;

    const int drivePicture = DrivePicture(platform::DriveType(folder.substr(0, 2)));
    while (!rest.empty()) {
      const size_t slash = rest.find('\\');
      ListView.AddRow(rest.substr(0, slash), Levels == 0 ? drivePicture : kOpenFolder);
      // The row whose index is the level: with Indent the row just added; without it row 0 again,
      // so every hierarchy row keeps indent 0.
      ListView.SetIndent(level, level);
      rest.erase(0, slash + 1);
      if (Indent) ++level;
      ++Levels;
    }

    for (const std::string& name : platform::ListSubfolders(folder)) {
      const int row = ListView.AddRow(name, kClosedFolder);
      ListView.SetIndent(row, Indent ? level : 1);
    }
  } else {
    Path.clear();
  }

  if (ChangeCount < 2) ++ChangeCount;
  if (ChangeCount == 2 && OnChange) OnChange(*this);

  ListView.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
}

void WrenDirectoryListBox::DoubleClick(const platform::MouseEvent& mouse) {
  const int row = ListView.NextSelected();
  if (row < 0) return;

  std::string target;
  if (row > Levels - 1) {
    for (int i = 0; i < Levels; ++i) target += ListView.RowText(i) + '\\';
    target += ListView.RowText(row);
  } else {
    for (int i = 0; i <= row; ++i) target += ListView.RowText(i) + '\\';
  }
  SetPath(target);
  if (OnEnterFolder) OnEnterFolder(*this, mouse);
}
