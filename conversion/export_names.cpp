#include "conversion/export_names.h"

namespace asg {

std::string DefaultSaveName(std::string_view itemText) {
  const size_t dot = itemText.find('.');
  if (dot == std::string_view::npos) return {};
  return std::string(itemText.substr(0, dot));
}

std::string BatchOutputName(std::string_view itemText) {
  const size_t dot = itemText.find('.');
  std::string name(itemText.substr(0, dot));
  name += ".bmp";
  return name;
}

std::string FolderPart(std::string_view fileName) {
  const size_t end = fileName.find_last_of("\\:");
  if (end == std::string_view::npos) return {};
  return std::string(fileName.substr(0, end + 1));
}

}  // namespace asg
