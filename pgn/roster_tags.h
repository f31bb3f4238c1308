// roster_tags: the seven tags every exported game carries.
#pragma once

#include <array>
#include <string_view>
#include <utility>

namespace vorline {

// The seven tags every exported game carries, in their customary order, with the values
// that stand for "unknown" (Round "1" and Result "*" as a trimmed or rebuilt game has them).
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 7> roster_tags = {{
    {"Event", "?"},
    {"Site", "?"},
    {"Date", "????.??.??"},
    {"Round", "1"},
    {"White", "?"},
    {"Black", "?"},
    {"Result", "*"},
}};

}  // namespace vorline
