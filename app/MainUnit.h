#pragma once
// The main window of the program, its handlers, and the program-wide state
// that outlives single commands (the shared picture, the BMP header record,
// the two remembered folders of the export commands).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "conversion/bmp_image.h"
#include "conversion/xbm_converter.h"
#include "platform/control.h"

namespace platform {
class Bitmap;
class FolderDialog;
class Form;
class Label;
class Menu;
class PaintBox;
class Panel;
class SaveFileDialog;
class ScrollBox;
class Timer;
}  // namespace platform

class WrenDriveComboBox;
class WrenDirectoryListBox;
class WrenFileListBox;

// Compiled-in start location: both lists show StartFolder, the drive combo box selects StartDrive.
inline constexpr std::string_view StartFolder = "E:\\Program Files\\Quillon\\Projects\\Formats\\ASGConverter\\";
inline constexpr char StartDrive = 'E';
// "Ashgrove XBM Converter v1.0"
inline constexpr std::string_view MainCaption = "Ashgrove XBM Converter v1.0";

class MainWindow : public platform::Owned {
 public:
  platform::Form* Window = nullptr;
  platform::Panel* LeftPane = nullptr;
  platform::Panel* DriveStrip = nullptr;
  WrenDriveComboBox* DriveCombo = nullptr;
  WrenDirectoryListBox* FolderList = nullptr;
  WrenFileListBox* FileList = nullptr;
  platform::Panel* StatusStrip = nullptr;
  platform::Label* SizeLabel = nullptr;
  platform::ScrollBox* PreviewArea = nullptr;
  platform::PaintBox* Preview = nullptr;
  platform::Menu* MainMenu = nullptr;
  platform::SaveFileDialog* SaveDialog = nullptr;  // owned by Window
  platform::FolderDialog* FolderDialog = nullptr;  // owned by Window
  platform::Timer* MenuTimer = nullptr;
  // Keeps the buffers of one conversion for the next, for FileListChange and SaveSelected alike.
  asg::XbmConverter Converter;

  // Browsing chain.
  void DriveComboChange();
  void FolderListEnterFolder();
  void FileListChange();
  void MenuTimerTick();
  void ExitItemClick();

  // Sizes Preview to Picture and draws it at (0, 0): onto `paintDc` while
  // Preview paints, otherwise onto a surface got for Preview now.
  void PreviewPaint(HDC paintDc = nullptr);

  void InitSharedState();

  // Reads the XBM file at `path` (UTF-8, see platform/text.h), decodes it
  // into `picture`, writes its size text into `label` and its BMP header into
  // BmpHeader. A file that cannot be read or decoded leaves `picture` empty
  // (0 x 0, no bytes), BmpHeader as it was, and the label reading
  // "Ошибка чтения файла".
  void ConvertXbm(platform::Label& label, std::string_view path, platform::Bitmap& picture);

  // Export commands and the about dialog (MainUnitCommands.cpp).
  void SavePicture();
  void SaveSelected();
  void SaveItemClick();
  void PreviewClick();
  void WindowShow();
  void AboutItemClick();
  // Steps of NewMainWindow that build and attach the two dialogs (MainUnitCommands.cpp).
  void CreateSaveDialog();
  void CreateFolderDialog();
  void AttachDialogs();
};

// Where the two lists and the drive combo box start.
struct StartLocation {
  char drive = StartDrive;
  std::string folder{StartFolder};
};

// Builds the whole main window, hidden, and fills `result` right after the
// object is allocated. Registers Window as the application's main window.
void NewMainWindow(MainWindow*& result, platform::Control* parent);
// The same from another start location; tests use it to start in a folder of theirs.
void NewMainWindow(MainWindow*& result, platform::Control* parent, const StartLocation& start);

// After the message loop: clears the main-window reference and AppMain->Window
// and destroys the window with everything it owns (AppMain with it). Does
// nothing when there is no main window any more.
void DestroyMainWindow();

// Empties SaveFolder and BatchFolder at the end of the program.
void FinalizeMainUnit();

// "Ошибка чтения файла" in Windows-1251.
inline constexpr std::string_view ReadErrorText = "\xCE\xF8\xE8\xE1\xEA\xE0 \xF7\xF2\xE5\xED\xE8\xFF \xF4\xE0\xE9\xEB\xE0";

// Program-wide state.
extern MainWindow* AppMain;
extern std::unique_ptr<platform::Bitmap> Picture;  // made 1 x 1 by InitSharedState
extern asg::BmpHeaderBytes BmpHeader;              // "BM" from start-up, the rest from each conversion
extern std::string SaveFolder;                     // UTF-8, as every name of a file
extern std::string BatchFolder;                    // UTF-8
