// The version of this build: the project's version, and the commit when built from git.
#pragma once

#include <string_view>

namespace vorline {

// "1.0.0", or "1.0.0 (616f915)" when built from a git checkout ("-dirty" added when the
// sources held changes not committed); the commit is the one of the latest build.
std::string_view version_text();

}  // namespace vorline
