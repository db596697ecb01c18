// Export commands and the about dialog's handlers of the main window.
// Not written yet: each body below does nothing.

#include "app/MainUnit.h"

void MainWindow::SavePicture() {}
void MainWindow::SaveSelected() {}
void MainWindow::SaveItemClick() {}
void MainWindow::PreviewClick() {}
void MainWindow::WindowShow() {}
void MainWindow::AboutItemClick() {}

void MainWindow::CreateSaveDialog() {}
void MainWindow::CreateFolderDialog() {}
void MainWindow::AttachDialogs() {}
