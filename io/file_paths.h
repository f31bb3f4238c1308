// File paths: where a file's links lead, and making a folder's entries durable.
#pragma once

#include <string>

namespace vorline {

// The file that `name` leads to through its chain of symbolic links (absolute), or `name`
// itself when it is no link or the chain cannot be followed.
std::string link_target(const std::string& name);

// Waits until the entries of the folder that holds `path` (made, renamed or removed) are on
// the disk; false when the system reports an error.
bool sync_folder_of(const std::string& path) noexcept;

}  // namespace vorline
