#include "tool/version.h"

#include "version_text.h"

namespace vorline {

std::string_view version_text() { return VORLINE_VERSION_TEXT; }

}  // namespace vorline
