// PGN layout: the building blocks of a game's PGN text (tag section, movetext).
#pragma once

#include <cstddef>
#include <string>

#include "pgn/game_line.h"
#include "pgn/reuse_list.h"
#include "pgn/tag_map.h"

namespace vorline {

// Building blocks of the PGN text of a game.

// Appends one line per name of `order`: [Name "value"], the value taken from `tags`
// (a name without a value gets an empty one) and written as it stands; then an empty line.
void append_tag_section(const ReuseList<std::string>& order, TagMap& tags, std::string& out);

// Appends the movetext of a line: move numbers for White's moves and for Black's moves
// that open a line (or, in the full form, follow a comment or variation), glyphs, and in
// the full form comments in braces and variations in parentheses. One space follows every
// node that wrote something, unless it is the last of its line. Variations are followed
// only to lines with a larger index than the line that refers to them.
void append_movetext(const GameLines& lines, std::size_t line, bool full, std::string& out);

// Breaks the lines of a text to at most 79 characters: where a line reaches its 80th
// character, that character if it is a space, else the last space before it in the same
// line, becomes a line feed. A line without such a space is broken at the first space
// after that point instead, or left whole. No character is added or removed. Wrapping
// starts at `from`, which must be the start of a line.
void wrap_pgn_lines(std::string& text, std::size_t from = 0);

}  // namespace vorline
