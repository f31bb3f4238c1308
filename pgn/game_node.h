// GameNode: one element of a game line (move, comment, glyph, variation, result).
#pragma once

#include <cstdint>
#include <string>

namespace vorline {

// What a node of a game line holds.
enum class NodeKind : std::uint32_t {
    unparsed = 0,   // raw movetext, only while a text is being read
    comment = 1,    // comment text without braces or semicolon
    move = 2,       // a move in SAN, as read or as written for the position
    nag = 3,        // "$" and the glyph's digits
    variation = 4,  // index of the referred line: "3" when read, "(3)" when added
    result = 5,     // "1-0", "0-1", "1/2-1/2" or "*"
};

// One element of a game line. `white` and `move_number` mean something for moves only,
// and only once the line has been numbered.
struct GameNode {
    std::string text;
    std::uint32_t white = 0;
    std::uint32_t move_number = 0;
    NodeKind kind = NodeKind::unparsed;
};

}  // namespace vorline
