// Shows the three browsing controls wired as in the main window, on the
// folder given as the first argument (the current folder when none is given):
// a drive pick lists the drive's root in the folder list, a double click on a
// folder lists its XBM files in the file list. Run by hand to look at them.
#include <string>

#include <windows.h>

#include <shellapi.h>

#include "controls/KOLWrenDirectoryListBox.h"
#include "controls/KOLWrenDriveComboBox.h"
#include "controls/KOLWrenFileListBox.h"
#include "platform/application.h"
#include "platform/file_system.h"
#include "platform/form.h"
#include "platform/panel.h"
#include "platform/text.h"

namespace {

std::string StartFolder() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string folder = argc > 1 ? platform::NarrowName(argv[1]) : platform::CurrentDirectory();
  LocalFree(argv);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

int main() {
  using namespace platform;
  const std::string start = StartFolder();
  const uint32_t windowColor = SystemColor(COLOR_WINDOW);

  Form window("Ashgrove XBM Converter v1.0");
  window.SetSize(696, 506);
  window.SetGap(0);

  Panel& leftPane = window.Add<Panel>(Edge::None);
  leftPane.SetAlign(Align::Left);
  leftPane.SetWidth(167);
  Panel& driveStrip = leftPane.Add<Panel>(Edge::None);
  driveStrip.SetAlign(Align::Top);
  driveStrip.SetHeight(25);

  WrenDriveComboBox& driveCombo = NewWrenDriveComboBox(driveStrip).SetSize(167, 19);
  driveCombo.Color = RGB(255, 255, 255);
  driveCombo.Font.height = -11;
  if (!start.empty()) driveCombo.SetDrive(start[0]);

  WrenDirectoryListBox& folderList = NewWrenDirectoryListBox(leftPane).SetAlign(Align::Top).SetSize(0, 184);
  folderList.Color = windowColor;
  folderList.Indent = true;

  WrenFileListBox& fileList = NewWrenFileListBox(leftPane, 0x1A).SetAlign(Align::Client);
  fileList.Color = windowColor;
  fileList.SetCurIndex(0);
  fileList.CaseMode = WrenFileListBox::kCaseLower;
  fileList.SetIntegralHeight(false);
  fileList.SetMask("*.xbm");

  driveCombo.OnChange = [&](WrenDriveComboBox&) { folderList.SetPath(std::string(1, driveCombo.Drive)); };
  folderList.OnEnterFolder = [&](WrenDirectoryListBox&, const MouseEvent&) { fileList.SetPath(folderList.Path); };
  fileList.OnChange = [&](WrenFileListBox&) { window.SetText("Current: " + fileList.Path + fileList.CurrentItem()); };

  folderList.SetPath(start);
  folderList.IntegralHeight = false;
  fileList.SetPath(start);

  Panel& statusStrip = window.Add<Panel>(Edge::Sunken);
  statusStrip.SetAlign(Align::Bottom);
  statusStrip.SetHeight(17);
  Panel& previewArea = window.Add<Panel>(Edge::Sunken);
  previewArea.SetAlign(Align::Client);

  window.CenterOnScreen();
  Application::Run(window);
  return 0;
}
