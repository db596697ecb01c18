#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include "platform/folder_dialog.h"
#include "platform/form.h"
#include "platform/save_file_dialog.h"
#include "platform/text.h"
#include "tests/platform/dialog_driver.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using testing_dialogs::DialogDriver;

// A folder of its own under the temporary folder, removed afterwards.
struct TempFolder {
  TempFolder() {
    path = fs::temp_directory_path() / ("asg-dialogs-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(path / "sub");
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string Utf8(const fs::path& p) const { return NarrowName(p.wstring()); }  // a name as the program holds it
  fs::path path;
};

TEST(SaveFileDialog, FilterTakesTheSystemsDoubleNulForm) {
  const std::wstring have = SaveFileDialog::SystemFilter("Bitmaps (*.bmp)|*.bmp");
  const std::wstring want(L"Bitmaps (*.bmp)\0*.bmp\0\0", 23);
  EXPECT_EQ(have, want);
}

TEST(SaveFileDialog, RealDialogOpensInTheFolderAndAddsTheExtension) {
  TempFolder temp;
  Form owner("owner");
  SaveFileDialog dialog;
  dialog.Filter = "Bitmaps (*.bmp)|*.bmp";
  dialog.DefaultExtension = "bmp";
  dialog.Owner = &owner;
  dialog.InitialFolder = temp.Utf8(temp.path / "sub");
  dialog.FileName = "sprite";

  std::wstring proposed;
  HWND ownerSeen = nullptr;
  DialogDriver driver([&](HWND box) {
    ownerSeen = GetWindow(box, GW_OWNER);
    HWND name = GetDlgItem(box, edt1);
    if (!name) name = GetDlgItem(box, cmb13);
    proposed = DialogDriver::TextOf(name);
    SetWindowTextW(name, L"hero");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  ASSERT_TRUE(dialog.Execute()) << "have the dialog cancelled, want it confirmed";
  EXPECT_EQ(proposed, L"sprite");
  EXPECT_EQ(ownerSeen, owner.Handle());
  const std::string want = temp.Utf8(temp.path / "sub" / "hero.bmp");
  EXPECT_TRUE(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, dialog.FileName.c_str(), -1, want.c_str(), -1) ==
              CSTR_EQUAL)
      << "have " << dialog.FileName << ", want " << want;
}

TEST(SaveFileDialog, CancelLeavesTheNameAlone) {
  Form owner("owner");
  SaveFileDialog dialog;
  dialog.Owner = &owner;
  dialog.FileName = "sprite";
  DialogDriver driver([](HWND box) { PostMessageW(box, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "sprite");
}

TEST(FolderDialog, RealDialogStartsAtTheFolderAndReturnsIt) {
  TempFolder temp;
  Form owner("owner");
  FolderDialog dialog;
  dialog.Title = "\xC2\xFB\xE1\xE5\xF0\xE8\xF2\xE5 \xEF\xE0\xEF\xEA\xF3";  // "Выберите папку"
  dialog.Owner = &owner;
  dialog.Folder = temp.Utf8(temp.path / "sub");

  RECT placed{};
  bool titleShown = false;
  HWND ownerSeen = nullptr;
  DialogDriver driver([&](HWND box) {
    GetWindowRect(box, &placed);
    titleShown = DialogDriver::HasChildWithText(box, L"\u0412\u044B\u0431\u0435\u0440\u0438\u0442\u0435 \u043F\u0430\u043F\u043A\u0443");
    ownerSeen = GetWindow(box, GW_OWNER);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  const std::string start = dialog.Folder;
  ASSERT_TRUE(dialog.Execute()) << "have the dialog cancelled, want it confirmed";
  EXPECT_TRUE(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, dialog.Folder.c_str(), -1, start.c_str(), -1) ==
              CSTR_EQUAL)
      << "have " << dialog.Folder << ", want the start folder " << start;
  EXPECT_TRUE(titleShown) << "the title text is shown in the dialog";
  EXPECT_EQ(ownerSeen, owner.Handle());
  const int width = placed.right - placed.left, height = placed.bottom - placed.top;
  EXPECT_EQ(placed.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(placed.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

}  // namespace
}  // namespace platform
