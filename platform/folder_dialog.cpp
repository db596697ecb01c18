#include "platform/folder_dialog.h"

#include <shlobj.h>

#include "platform/layout.h"
#include "platform/text.h"

namespace platform {

namespace {

struct BrowseStart {
  std::wstring folder;
};

constexpr UINT kReselectDelayMs = 100;

void Select(HWND dialog, const BrowseStart& start) {
  SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start.folder.c_str()));
}

// Some shells (Wine's among them) go on filling the tree after the dialog has
// been initialised and may drop a selection made at once; it is made again
// once, shortly afterwards. The timer's id is the start record, which
// outlives the dialog.
void CALLBACK Reselect(HWND dialog, UINT, UINT_PTR id, DWORD) {
  KillTimer(dialog, id);
  Select(dialog, *reinterpret_cast<const BrowseStart*>(id));
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg != BFFM_INITIALIZED) return 0;
  RECT rc;
  GetWindowRect(hwnd, &rc);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  SetWindowPos(hwnd, nullptr, CenteredOrigin(GetSystemMetrics(SM_CXSCREEN), width),
               CenteredOrigin(GetSystemMetrics(SM_CYSCREEN), height), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const auto* start = reinterpret_cast<const BrowseStart*>(data);
  if (!start->folder.empty()) {
    Select(hwnd, *start);
    SetTimer(hwnd, reinterpret_cast<UINT_PTR>(start), kReselectDelayMs, &Reselect);
  }
  return 0;
}

}  // namespace

bool FolderDialog::ShowSystemDialog(FolderDialog& dialog) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BrowseStart start{WidenName(dialog.Folder)};
  const std::wstring title = Widen(dialog.Title);
  wchar_t shownName[MAX_PATH] = {};

  BROWSEINFOW info{};
  info.hwndOwner = dialog.Owner ? dialog.Owner->Handle() : nullptr;
  info.pszDisplayName = shownName;
  info.lpszTitle = title.empty() ? nullptr : title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&start);

  bool chosen = false;
  if (LPITEMIDLIST item = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, path)) {
      dialog.Folder = NarrowName(path);
      chosen = true;
    }
    CoTaskMemFree(item);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

}  // namespace platform
