#include "platform/save_file_dialog.h"

#include <algorithm>
#include <vector>

#include <commdlg.h>

#include "platform/text.h"

namespace platform {

std::wstring SaveFileDialog::SystemFilter(const std::string& filter) {
  std::wstring system = Widen(filter);
  for (wchar_t& c : system) {
    if (c == L'|') c = L'\0';
  }
  system.push_back(L'\0');
  system.push_back(L'\0');
  return system;
}

bool SaveFileDialog::ShowSystemDialog(SaveFileDialog& dialog) {
  constexpr size_t kNameCapacity = 32768;
  std::vector<wchar_t> name(kNameCapacity, L'\0');
  const std::wstring proposed = WidenName(dialog.FileName);
  proposed.copy(name.data(), std::min(proposed.size(), kNameCapacity - 1));
  const std::wstring filter = SystemFilter(dialog.Filter);
  const std::wstring folder = WidenName(dialog.InitialFolder);
  const std::wstring extension = Widen(dialog.DefaultExtension);
  const std::wstring title = Widen(dialog.Title);

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dialog.Owner ? dialog.Owner->Handle() : nullptr;
  ofn.lpstrFilter = dialog.Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
              OFN_NOCHANGEDIR;  // saving changes nothing but the file
  if (!GetSaveFileNameW(&ofn)) return false;
  dialog.FileName = NarrowName(name.data());
  return true;
}

}  // namespace platform
