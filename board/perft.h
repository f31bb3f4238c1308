#pragma once

#include <cstdint>

#include "board/chess_position.h"

// Counts the leaf positions `depth` half moves below `position` with legal generation at
// every ply; at the last ply the list's size is added without making the moves. Depth 0
// counts the position itself. The position is left as it was.
std::uint64_t perft(ChessPosition& position, int depth);
