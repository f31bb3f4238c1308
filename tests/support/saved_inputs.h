#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vorline {

// The inputs fuzzing found for one target, kept under tests/regressions/<target>/, in name
// order; none when the folder is missing.
std::vector<std::filesystem::path> saved_inputs(const std::string& target);

// The whole content of a file, byte for byte.
std::string bytes_of(const std::filesystem::path& path);

}  // namespace vorline
