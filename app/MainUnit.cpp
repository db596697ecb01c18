#include "app/MainUnit.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "controls/KOLWrenDirectoryListBox.h"
#include "controls/KOLWrenDriveComboBox.h"
#include "controls/KOLWrenFileListBox.h"
#include "conversion/xbm_decoder.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/color.h"
#include "platform/file_system.h"
#include "platform/form.h"
#include "platform/label.h"
#include "platform/menu.h"
#include "platform/paint_box.h"
#include "platform/panel.h"
#include "platform/scroll_box.h"
#include "platform/text.h"
#include "platform/timer.h"

using platform::Align;
using platform::Edge;

MainWindow* AppMain = nullptr;
std::unique_ptr<platform::Bitmap> Picture;
asg::BmpHeaderBytes BmpHeader{};
std::string SaveFolder;
std::string BatchFolder;

namespace {

constexpr int kWindowWidth = 696;
constexpr int kWindowHeight = 506;
constexpr int kLeftPaneWidth = 167;
constexpr int kDriveStripHeight = 25;
constexpr int kFolderListHeight = 184;  // before the list snaps it to whole rows
constexpr int kStatusStripHeight = 17;
constexpr int kSizeLabelWidth = 168;
constexpr int kFontHeight = -11;
constexpr uint16_t kFileListOptions = 0x1A;  // extended multiple selection, any height
constexpr UINT kMenuTimerInterval = 50;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr char kMask[] = "*.xbm";

// Menu item numbers, separators not counted.
enum MenuIndex { kFileMenu = 0, kSaveItem = 1, kSaveSelectedItem = 2, kExitItem = 3, kAboutItem = 4 };

// "Файл", "Сохранить...", "Сохранить выделенное...", "Выход", "О Программе..."
const std::vector<platform::MenuItem> kMenuBar = {
    {"\xD4\xE0\xE9\xEB",
     {{"\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC..."},
      {"\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xE2\xFB\xE4\xE5\xEB\xE5\xED\xED\xEE\xE5..."},
      {"-"},
      {"\xC2\xFB\xF5\xEE\xE4"}}},
    {"\xCE \xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5..."},
};

platform::FontSpec SmallFont() {
  platform::FontSpec font;
  font.height = kFontHeight;
  return font;
}

}  // namespace

void NewMainWindow(MainWindow*& result, platform::Control* parent) { NewMainWindow(result, parent, StartLocation{}); }

void NewMainWindow(MainWindow*& result, platform::Control* parent, const StartLocation& start) {
  auto owned = std::make_unique<MainWindow>();
  MainWindow& self = *owned;
  result = &self;

  // The window; the object goes with it.
  self.Window = new platform::Form(parent, MainCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0);
  platform::Form& window = *self.Window;
  window.SetSize(kWindowWidth, kWindowHeight);
  platform::Application::SetMainForm(&window);
  window.Own(std::move(owned));
  window.SetGap(0);
  window.OnShow = [&self](platform::Form&) { self.WindowShow(); };

  self.MainMenu = &window.Own(std::make_unique<platform::Menu>(window, kMenuBar));
  self.MainMenu->SetHandler(kSaveItem, [&self] { self.SaveItemClick(); });
  self.MainMenu->SetHandler(kSaveSelectedItem, [&self] { self.SaveSelected(); });
  self.MainMenu->SetHandler(kExitItem, [&self] { self.ExitItemClick(); });
  self.MainMenu->SetHandler(kAboutItem, [&self] { self.AboutItemClick(); });

  self.CreateSaveDialog();
  self.CreateFolderDialog();

  self.MenuTimer = &window.Own(std::make_unique<platform::Timer>(kMenuTimerInterval));
  self.MenuTimer->OnTick = [&self](platform::Timer&) { self.MenuTimerTick(); };

  self.LeftPane = &window.Add<platform::Panel>(Edge::None);
  self.LeftPane->SetAlign(Align::Left);
  self.LeftPane->SetWidth(kLeftPaneWidth);
  self.DriveStrip = &self.LeftPane->Add<platform::Panel>(Edge::None);
  self.DriveStrip->SetAlign(Align::Top);
  self.DriveStrip->SetHeight(kDriveStripHeight);

  WrenDriveComboBox& drives = NewWrenDriveComboBox(*self.DriveStrip).SetSize(kLeftPaneWidth, 19);
  self.DriveCombo = &drives;
  drives.Color = kWhite;
  drives.Font.height = kFontHeight;
  drives.OnChange = [&self](WrenDriveComboBox&) { self.DriveComboChange(); };
  drives.SetDrive(start.drive);

  WrenDirectoryListBox& folders = NewWrenDirectoryListBox(*self.LeftPane);
  self.FolderList = &folders;
  folders.SetAlign(Align::Top).SetSize(0, kFolderListHeight);
  folders.Color = platform::SystemColor(COLOR_WINDOW);
  folders.OnEnterFolder = [&self](WrenDirectoryListBox&, const platform::MouseEvent&) {
    self.FolderListEnterFolder();
  };
  folders.Indent = true;
  folders.SetPath(start.folder);
  folders.IntegralHeight = false;

  WrenFileListBox& files = NewWrenFileListBox(*self.LeftPane, kFileListOptions).SetAlign(Align::Client);
  self.FileList = &files;
  files.Color = platform::SystemColor(COLOR_WINDOW);
  files.OnChange = [&self](WrenFileListBox&) { self.FileListChange(); };
  files.SetCurIndex(0);
  files.CaseMode = WrenFileListBox::kCaseLower;
  files.SetIntegralHeight(false);
  files.SetMask(kMask);
  // Set again, as the start-up sequence always has; Color takes effect only at SetPath.
  files.Color = platform::SystemColor(COLOR_WINDOW);
  files.SetPath(start.folder);

  self.StatusStrip = &window.Add<platform::Panel>(Edge::Sunken);
  self.StatusStrip->SetAlign(Align::Bottom);
  self.StatusStrip->SetHeight(kStatusStripHeight);
  self.SizeLabel = &self.StatusStrip->Add<platform::Label>("");
  self.SizeLabel->SetWidth(kSizeLabelWidth);
  self.SizeLabel->SetFont(SmallFont());

  self.PreviewArea = &window.Add<platform::ScrollBox>(Edge::Sunken);
  self.PreviewArea->SetAlign(Align::Client);

  self.Preview = &self.PreviewArea->Add<platform::PaintBox>();
  self.Preview->SetSize(137, 121);
  self.Preview->SetCursor(LoadCursorW(nullptr, IDC_HAND));
  self.Preview->OnClick = [&self](platform::PaintBox&) { self.PreviewClick(); };
  self.Preview->OnPaint = [&self](platform::PaintBox&, HDC dc) { self.PreviewPaint(dc); };

  // The window's handle exists from its construction on.
  self.AttachDialogs();

  self.MenuTimer->SetEnabled(true);

  window.CenterOnScreen();

  self.InitSharedState();
}

void DestroyMainWindow() {
  if (!AppMain || !AppMain->Window) return;
  platform::Form* window = std::exchange(AppMain->Window, nullptr);
  if (platform::Application::MainForm() == window) platform::Application::SetMainForm(nullptr);
  AppMain = nullptr;
  delete window;  // releases the MainWindow object with everything else it owns
}

void FinalizeMainUnit() {
  SaveFolder.clear();
  BatchFolder.clear();
}

void MainWindow::InitSharedState() {
  Picture = std::make_unique<platform::Bitmap>(1, 1);
  BmpHeader[0] = 'B';
  BmpHeader[1] = 'M';
  SaveFolder = platform::CurrentDirectory();
  BatchFolder = platform::CurrentDirectory();
}

void MainWindow::DriveComboChange() { FolderList->SetPath(std::string(1, DriveCombo->Drive)); }

void MainWindow::FolderListEnterFolder() { FileList->SetPath(FolderList->Path); }

void MainWindow::FileListChange() {
  ConvertXbm(*SizeLabel, FileList->Path + FileList->CurrentItem(), *Picture);
  PreviewPaint();
}

void MainWindow::MenuTimerTick() {
  const bool anySelected = FileList->SelectedCount() > 0;
  MainMenu->SetItemEnabled(kSaveItem, anySelected);
  MainMenu->SetItemEnabled(kSaveSelectedItem, anySelected);
}

void MainWindow::ExitItemClick() { PostMessageW(Window->Handle(), WM_CLOSE, 0, 0); }

void MainWindow::PreviewPaint(HDC paintDc) {
  Preview->SetSize(Picture->Width(), Picture->Height());
  if (paintDc) {
    Picture->Draw(paintDc, 0, 0);
    return;
  }
  if (HDC dc = GetDC(Preview->Handle())) {
    Picture->Draw(dc, 0, 0);
    ReleaseDC(Preview->Handle(), dc);
  }
}

void MainWindow::ConvertXbm(platform::Label& label, std::string_view path, platform::Bitmap& picture) {
  const asg::Outcome outcome = Converter.Decode(std::filesystem::path(platform::WidenName(path)), picture.Image());
  if (outcome.failed()) {
    label.SetText(ReadErrorText);
    return;
  }
  label.SetText(asg::SizeText(picture.Width(), picture.Height()));
  std::ranges::copy(picture.Image().header(), BmpHeader.begin());
}
