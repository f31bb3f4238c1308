// assign_text: replaces a string's contents while keeping its buffer.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace vorline {

// Replaces the contents of `target`, reusing its buffer. (Written out rather than
// std::string::assign, which draws a spurious -Wrestrict from GCC 12 when inlined.)
inline void assign_text(std::string& target, std::string_view text) {
    target.resize(text.size());
    if (!text.empty()) std::memcpy(target.data(), text.data(), text.size());
}

}  // namespace vorline
