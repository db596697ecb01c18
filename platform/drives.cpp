#include "platform/drives.h"

#include <string>
#include <utility>

#include <windows.h>

#include "platform/text.h"

namespace platform {

namespace {

DriveQueries& Current() {
  static DriveQueries queries = SystemDriveQueries();
  return queries;
}

}  // namespace

DriveQueries SystemDriveQueries() {
  return {[] { return static_cast<uint32_t>(GetLogicalDrives()); },
          [](std::string_view drive) {
            const std::wstring root = Widen(drive);
            return static_cast<unsigned>(GetDriveTypeW(root.c_str()));
          }};
}

uint32_t LogicalDrives() { return Current().logicalDrives(); }

unsigned DriveType(std::string_view drive) { return Current().driveType(drive); }

DriveQueries SetDriveQueries(DriveQueries queries) { return std::exchange(Current(), std::move(queries)); }

}  // namespace platform
