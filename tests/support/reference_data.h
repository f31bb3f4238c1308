// ReferenceData: the reference data the tests check against (perft lines, real game files),
// and positions read from FEN on one shared attack-table bundle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/chess_position.h"
#include "board/perft.h"

namespace vorline {

// Built once for all tests of a program; read-only.
const AttackTables& test_tables();

ChessPosition position_from(std::string_view fen);

// Path of a file of the reference data; empty when the data is absent.
std::string reference_file(std::string_view relative_path);

// The lines of perft.txt whose count lies in [min_nodes, max_nodes]; empty when the
// reference data is absent.
std::vector<PerftLine> reference_perft_lines(std::uint64_t min_nodes = 0,
                                             std::uint64_t max_nodes = ~0ULL);

// The real game files: games/samples/*.pgn in name order, then games/bench.pgn; none when
// the data is absent.
std::vector<std::string> reference_game_files();

// `fens`, then the position of every perft.txt line not among them, each once.
std::vector<std::string> with_perft_positions(std::vector<std::string> fens);

// Expects each line's count from perft().
void expect_perft_counts(const std::vector<PerftLine>& lines);

}  // namespace vorline
