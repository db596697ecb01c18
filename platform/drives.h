#pragma once
// The two questions the program asks about drives. They go through one
// replaceable pair of functions, so that tests can present any set of drives.

#include <cstdint>
#include <functional>
#include <string_view>

namespace platform {

struct DriveQueries {
  std::function<uint32_t()> logicalDrives;               // bit i set: drive letter 'A' + i is present
  std::function<unsigned(std::string_view)> driveType;  // DRIVE_* of "X:" (cp1251)
};

// The system's answers: GetLogicalDrives and GetDriveTypeW.
DriveQueries SystemDriveQueries();

uint32_t LogicalDrives();
unsigned DriveType(std::string_view drive);

// Replaces the queries; returns the ones in force before.
DriveQueries SetDriveQueries(DriveQueries queries);

}  // namespace platform
