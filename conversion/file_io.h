#pragma once
// Whole-file reading and safe replacement of files, with wide paths on Windows.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace asg {

// Reads the whole file in one read. Others may read it meanwhile but not write it.
// Returns false (and leaves `bytes` empty) when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes);

// Writes `bytes` to a temporary file beside `target` and renames it over `target`
// only when it is complete, so a failure never leaves a half-written file nor
// destroys the file it was to replace. Returns an empty string on success,
// otherwise a short English reason.
std::string WriteFileAtomically(const std::filesystem::path& target, std::span<const uint8_t> bytes);

}  // namespace asg
