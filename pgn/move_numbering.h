// MoveNumbering: gives the moves of a game's lines their side and move number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pgn/game_line.h"

namespace vorline {

// Sets side and full-move number of the move nodes of a line and of the variations it
// refers to. The first move of a variation gets the side and number of the move it is an
// alternative to (the start values when no move precedes the variation node). Only
// references to lines with a larger index than the referring line are followed, so any
// set of lines is numbered in finite time; the walk uses its own stack, not recursion.
class MoveNumbering {
public:
    // `white` and `number` are those of the line's first move; `start_white` and
    // `start_number` those of the game's first move.
    void number(GameLines& lines, std::size_t line, std::uint32_t white, std::uint32_t number,
                std::uint32_t start_white, std::uint32_t start_number);

private:
    struct Frame {
        std::size_t line;
        std::size_t index;
        std::uint32_t white;  // side and number of the next move of the line
        std::uint32_t number;
        std::uint32_t last_white;  // those of the last move numbered in the line
        std::uint32_t last_number;
    };
    std::vector<Frame> stack_;
};

}  // namespace vorline
