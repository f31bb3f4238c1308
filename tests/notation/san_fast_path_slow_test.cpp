// The shortcut in SAN reading against full generation over whole real-game files and two
// plies into every perft position, every token and many spellings of every legal move.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/move_list.h"
#include "san_fast_path.h"
#include "notation_support.h"

namespace {

std::string first_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) text += lines[i] + "\n";
    return text;
}

TEST(SanFastPathSlow, AgreesOnEveryTokenOfTheBenchCollection) {
    const std::string path = reference_file("games/bench.pgn");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    std::size_t compared = 0;
    const std::vector<std::string> differences = replay_fast_path(read_whole_file(path), 401, compared);
    EXPECT_TRUE(differences.empty()) << first_lines(differences);
    EXPECT_GT(compared, 8802831u);
}

TEST(SanFastPathSlow, AgreesOnTheLargeSampleFiles) {
    for (const std::string name : {"games/samples/Gelfand.pgn", "games/samples/Miles.pgn"}) {
        const std::string path = reference_file(name);
        if (path.empty()) continue;
        std::size_t compared = 0;
        const std::vector<std::string> differences = replay_fast_path(read_whole_file(path), 13, compared);
        EXPECT_TRUE(differences.empty()) << name << "\n" << first_lines(differences);
    }
}

TEST(SanFastPathSlow, AgreesTwoPliesIntoEveryPerftPosition) {
    const std::string path = reference_file("perft.txt");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    // Every origin hint where the game starts, bare destinations two plies on.
    const std::vector<std::string> root_grid = destination_grid("abcdefgh12345678");
    const std::vector<std::string> grid = destination_grid("");
    for (const std::string& fen : perft_file_positions(path)) {
        ChessPosition position = position_from(fen);
        std::vector<std::string> differences;
        const auto compare = [&](const std::vector<std::string>& extra) {
            std::vector<std::string> tokens = legal_move_spellings(position);
            tokens.insert(tokens.end(), extra.begin(), extra.end());
            for (const std::string& d : fast_path_differences(position, tokens))
                if (differences.size() < 10) differences.push_back(d);
        };
        compare(root_grid);
        MoveList first;
        position.generate_legal_moves(first);
        for (const Move& a : first) {
            position.make_move(a);
            compare(grid);
            MoveList second;
            position.generate_legal_moves(second);
            for (const Move& b : second) {
                position.make_move(b);
                compare({});
                position.unmake_move();
            }
            position.unmake_move();
        }
        EXPECT_TRUE(differences.empty()) << fen << "\n" << first_lines(differences);
    }
}

}  // namespace
