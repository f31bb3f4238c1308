// GameLine: one line of a game (main line or variation) as a list of nodes.
#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "pgn/assign_text.h"
#include "pgn/game_node.h"
#include "pgn/reuse_list.h"

namespace vorline {

// A line of a game: the main line or one variation, as a list of nodes.
using GameLine = ReuseList<GameNode>;
// All lines of a game; line 0 is the main line.
using GameLines = ReuseList<GameLine>;

// Appends a node with the given kind and text; side and number are reset.
inline GameNode& append_node(GameLine& line, NodeKind kind, std::string_view text) {
    GameNode& node = line.push_slot();
    assign_text(node.text, text);
    node.white = 0;
    node.move_number = 0;
    node.kind = kind;
    return node;
}

// Inserts such a node at `pos` of the line.
inline GameNode& insert_node(GameLine& line, std::size_t pos, NodeKind kind,
                             std::string_view text) {
    GameNode& node = line.insert_slot(pos);
    assign_text(node.text, text);
    node.white = 0;
    node.move_number = 0;
    node.kind = kind;
    return node;
}

// Appends an empty line and returns it.
inline GameLine& append_line(GameLines& lines) {
    GameLine& line = lines.push_slot();
    line.clear();
    return line;
}

// The line index that a variation node's text names: "(" and ")" count as blanks, leading
// white space is skipped, then a decimal number is read. Nothing when there is no number
// (or one too large to be a line index).
std::optional<std::size_t> referred_line(std::string_view variation_text);

// Index of the first move node at or after `from` in the line; line.size() when none.
std::size_t next_move_index(const GameLine& line, std::size_t from);

}  // namespace vorline
