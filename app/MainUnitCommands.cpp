// Export commands and the about dialog's handlers of the main window, and the
// creation of the two dialogs that the export commands use.

#include <memory>
#include <string>

#include "app/MainUnit.h"
#include "app/WrenAboutDialog.h"
#include "controls/KOLWrenFileListBox.h"
#include "conversion/export_names.h"
#include "platform/bitmap.h"
#include "platform/folder_dialog.h"
#include "platform/form.h"
#include "platform/save_file_dialog.h"
#include "platform/text.h"

namespace {

constexpr char kSaveFilter[] = "Bitmaps (*.bmp)|*.bmp";
constexpr char kBmpExtension[] = "bmp";
// "Выберите папку"
constexpr char kFolderDialogTitle[] = "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xEF\xE0\xEF\xEA\xF3";

// What the about dialog shows. "2 июля 2002г."
constexpr char kProductName[] = "ASG XBM Converter v1.0";
constexpr char kProductDate[] = "2 \xE8\xFE\xEB\xFF 2002\xE3.";
constexpr char kAuthorName[] = "Ashgrove XBM Converter team";
constexpr char kAuthorMail[] = "team@example.org";
constexpr char kAuthorWeb[] = "http://www.example.org/";

}  // namespace

void MainWindow::SavePicture() {
  SaveDialog->InitialFolder = SaveFolder;
  SaveDialog->FileName = asg::DefaultSaveName(FileList->CurrentItem());
  if (!SaveDialog->Execute()) return;
  // Not reported, whatever became of it: a picture without pixels writes no file.
  Picture->SaveToFile(SaveDialog->FileName);
  SaveFolder = asg::FolderPart(SaveDialog->FileName);
}

// Converts each selected file, in list order, into a picture of its own, so
// that Picture and the preview keep what they show. A file that fails to
// convert leaves that picture empty, which writes no file.
void MainWindow::SaveSelected() {
  FolderDialog->Folder = BatchFolder;
  if (!FolderDialog->Execute()) return;
  BatchFolder = FolderDialog->Folder;

  platform::Bitmap picture(1, 1);
  const int count = FileList->Count();
  for (int index = 0; index < count; ++index) {
    if (!FileList->Selected(index)) continue;
    const std::string item = FileList->Item(index);
    ConvertXbm(*SizeLabel, FileList->Path + item, picture);
    picture.SaveToFile(BatchFolder + "\\" + asg::BatchOutputName(item));
  }
}

void MainWindow::SaveItemClick() { SavePicture(); }

void MainWindow::PreviewClick() { SavePicture(); }

// The show event also comes after later hide-show changes; the dialog is built once.
void MainWindow::WindowShow() {
  if (!AboutForm) CreateAboutDialog(*Window);
}

void MainWindow::AboutItemClick() {
  ShowAboutDialog(kProductName, kProductDate, kAuthorName, kAuthorMail, kAuthorWeb);
}

void MainWindow::CreateSaveDialog() {
  auto dialog = std::make_unique<platform::SaveFileDialog>();
  dialog->Filter = kSaveFilter;
  dialog->DefaultExtension = kBmpExtension;
  SaveDialog = &Window->Own(std::move(dialog));
}

void MainWindow::CreateFolderDialog() {
  auto dialog = std::make_unique<platform::FolderDialog>();
  dialog->Title = kFolderDialogTitle;
  FolderDialog = &Window->Own(std::move(dialog));
}

void MainWindow::AttachDialogs() {
  SaveDialog->Owner = Window;
  FolderDialog->Owner = Window;
}
