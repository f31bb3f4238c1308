// Perft: the leaf count of legal-move generation, and the reference lines it is checked against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/chess_position.h"

namespace vorline {

// Counts the leaf positions `depth` half moves below `position` with legal generation at
// every ply; the last ply is counted without listing its moves. Depth 0 counts the
// position itself. The position is left as it was.
std::uint64_t perft(ChessPosition& position, int depth);

// One line of a perft reference file: a FEN text, a tab, the depth, a tab, the leaf count.
struct PerftLine {
    std::string fen;
    int depth = 0;
    std::uint64_t nodes = 0;
};

// The lines of a reference file in file order, lines of another form skipped; empty when
// the file cannot be read.
std::vector<PerftLine> read_perft_lines(const std::string& path);

}  // namespace vorline
