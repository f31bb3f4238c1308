// Shared pieces of the board tests: one attack-table bundle, perft, the reference lines.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/perft.h"
#include "board/move_list.h"

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

struct PerftLine {
    std::string fen;
    int depth;
    std::uint64_t nodes;
};

inline std::string reference_data_file(const std::string& name) {
    return std::string(VORLINE_DATA_DIR) + "/" + name;
}

// The lines of perft.txt whose count lies in [min_nodes, max_nodes]; empty when the
// reference data is absent.
inline std::vector<PerftLine> reference_perft_lines(std::uint64_t min_nodes, std::uint64_t max_nodes) {
    std::vector<PerftLine> lines;
    std::ifstream in(reference_data_file("perft.txt"));
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
        PerftLine entry{line.substr(0, tab1), std::atoi(line.c_str() + tab1 + 1),
                        std::strtoull(line.c_str() + tab2 + 1, nullptr, 10)};
        if (entry.nodes >= min_nodes && entry.nodes <= max_nodes) lines.push_back(entry);
    }
    return lines;
}

inline bool reference_data_present() {
    return std::filesystem::exists(reference_data_file("perft.txt"));
}
