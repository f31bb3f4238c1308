// Positions: what the board and notation tests share: one attack-table bundle, positions
// read from FEN, and the reference perft lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/chess_position.h"
#include "board/perft.h"

// Built once for all tests of a program; read-only.
const AttackTables& test_tables();

ChessPosition position_from(std::string_view fen);

// Path of a file of the reference data; empty when the data is absent.
std::string reference_file(std::string_view relative_path);

// The lines of perft.txt whose count lies in [min_nodes, max_nodes]; empty when the
// reference data is absent.
std::vector<PerftLine> reference_perft_lines(std::uint64_t min_nodes = 0,
                                             std::uint64_t max_nodes = ~0ULL);

// `fens`, then the position of every perft.txt line not among them, each once.
std::vector<std::string> with_perft_positions(std::vector<std::string> fens);

// Expects each line's count from perft().
void expect_perft_counts(const std::vector<PerftLine>& lines);
