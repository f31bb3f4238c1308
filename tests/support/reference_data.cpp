#include "support/reference_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace vorline {

const AttackTables& test_tables() {
    static const AttackTables tables;
    return tables;
}

ChessPosition position_from(std::string_view fen) {
    ChessPosition position(test_tables());
    position.fen(fen);
    return position;
}

std::string reference_file(std::string_view relative_path) {
    const std::filesystem::path path = std::filesystem::path(VORLINE_DATA_DIR) / relative_path;
    return std::filesystem::exists(path) ? path.string() : std::string();
}

std::vector<PerftLine> reference_perft_lines(std::uint64_t min_nodes, std::uint64_t max_nodes) {
    std::vector<PerftLine> lines = read_perft_lines(reference_file("perft.txt"));
    std::erase_if(lines,
                  [&](const PerftLine& l) { return l.nodes < min_nodes || l.nodes > max_nodes; });
    return lines;
}

std::vector<std::string> reference_game_files() {
    std::vector<std::string> files;
    if (const std::string samples = reference_file("games/samples"); !samples.empty())
        for (const auto& entry : std::filesystem::directory_iterator(samples))
            if (entry.path().extension() == ".pgn") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    if (const std::string bench = reference_file("games/bench.pgn"); !bench.empty())
        files.push_back(bench);
    return files;
}

std::vector<std::string> with_perft_positions(std::vector<std::string> fens) {
    for (const PerftLine& line : reference_perft_lines())
        if (std::find(fens.begin(), fens.end(), line.fen) == fens.end()) fens.push_back(line.fen);
    return fens;
}

void expect_perft_counts(const std::vector<PerftLine>& lines) {
    ChessPosition position(test_tables());
    for (const PerftLine& line : lines) {
        position.fen(line.fen);
        EXPECT_EQ(perft(position, line.depth), line.nodes) << line.fen << " depth " << line.depth;
    }
}

}  // namespace vorline
