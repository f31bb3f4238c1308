// Shared pieces of the board tests: one attack-table bundle, positions, the reference lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"
#include "board/perft.h"

// Built once for all tests of a program; read-only.
inline const AttackTables& test_tables() {
    static const AttackTables tables;
    return tables;
}

inline ChessPosition position_from(const std::string& fen) {
    ChessPosition position(test_tables());
    position.fen(fen);
    return position;
}

// The lines of perft.txt whose count lies in [min_nodes, max_nodes]; empty when the
// reference data is absent.
inline std::vector<PerftLine> reference_perft_lines(std::uint64_t min_nodes,
                                                    std::uint64_t max_nodes) {
    std::vector<PerftLine> lines;
    for (const PerftLine& line : read_perft_lines(std::string(VORLINE_DATA_DIR) + "/perft.txt"))
        if (line.nodes >= min_nodes && line.nodes <= max_nodes) lines.push_back(line);
    return lines;
}
