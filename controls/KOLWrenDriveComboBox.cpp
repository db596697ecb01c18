#include "controls/KOLWrenDriveComboBox.h"

#include <memory>
#include <string_view>

#include <windows.h>

#include "controls/KOLWrenDirectoryListBox.h"
#include "platform/drives.h"
#include "platform/file_system.h"

namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kComboFontHeight = -11;

std::string_view KindText(unsigned driveType) {
  static constexpr std::string_view kUnknown = "\xD2\xE8\xEF \xED\xE5\xE8\xE7\xE2\xE5\xF1\xF2\xE5\xED";  // Тип неизвестен
  static constexpr std::string_view kRemovable =
      "\xD1\xEC\xE5\xED\xED\xFB\xE9 \xED\xE0\xEA\xEE\xEF\xE8\xF2\xE5\xEB\xFC";  // Сменный накопитель
  static constexpr std::string_view kFixed = "\xC6\xE5\xF1\xF2\xEA\xE8\xE9 \xE4\xE8\xF1\xEA";  // Жесткий диск
  switch (driveType) {
    case DRIVE_REMOVABLE:
    case DRIVE_REMOTE: return kRemovable;
    case DRIVE_FIXED: return kFixed;
    case DRIVE_CDROM: return "CD";
    default: return kUnknown;  // DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_RAMDISK and anything newer
  }
}

}  // namespace

WrenDriveComboBox::WrenDriveComboBox(platform::ComboBox& comboBox) : ComboBox(comboBox) {}

WrenDriveComboBox& NewWrenDriveComboBox(platform::Control& parent) {
  auto& comboBox = parent.Add<platform::ComboBox>();
  auto& self = parent.Own(std::make_unique<WrenDriveComboBox>(comboBox));
  platform::FontSpec font = comboBox.GetFont();
  font.height = kComboFontHeight;
  comboBox.SetFont(font);
  comboBox.OnSelChange = [&self] { self.SelectionChanged(); };
  self.FillDrives();
  self.ChangeCount = 0;
  return self;
}

std::string WrenDriveComboBox::ItemText(char letter, unsigned driveType) {
  std::string text(1, letter);
  text += " - [";
  text += KindText(driveType);
  text += "]";
  return text;
}

WrenDriveComboBox& WrenDriveComboBox::SetSize(int width, int height) {
  ComboBox.SetSize(width, height);
  return *this;
}

void WrenDriveComboBox::FillDrives() {
  const std::string current = platform::CurrentDirectory();
  ComboBox.Clear();
  const uint32_t mask = platform::LogicalDrives();
  for (size_t i = 0; i < kLetters.size(); ++i) {
    if (!(mask & (1u << i))) continue;
    const char letter = kLetters[i];
    ComboBox.AddItem(ItemText(letter, platform::DriveType(std::string{letter, ':'})));
  }
  if (!current.empty()) {
    const int index = ComboBox.FindPrefix(current.substr(0, 1));
    if (index >= 0) ComboBox.Select(index);
  }
}

void WrenDriveComboBox::SetDrive(char letter) {
  ComboBox.SetFont(Font);
  ComboBox.SetColor(Color);
  const int index = letter != 0 ? ComboBox.FindPrefix(std::string(1, letter)) : -1;
  if (index >= 0) {
    Drive = letter;
    ComboBox.Select(index);
  }
  if (ChangeCount < 2) ++ChangeCount;
  if (ChangeCount == 2) {
    if (DirectoryList) DirectoryList->SetPath(std::string(1, Drive));
    if (OnChange) OnChange(*this);
  }
}

void WrenDriveComboBox::SelectionChanged() {
  const std::string text = ComboBox.SelectedText();
  if (!text.empty()) SetDrive(text[0]);
  // A user pick reports twice, from SetDrive and here, so that a pick before any SetDrive reports too.
  if (OnChange) OnChange(*this);
}
