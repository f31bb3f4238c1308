// Whole-file and deeper checks: every main-line move of the benchmark collection (about
// 108,000 master and engine games) written and compared with its printed SAN, and every
// legal move up to three plies into each perft position round-tripped.
#include <gtest/gtest.h>

#include <string>

#include "board/move_list.h"
#include "notation_support.h"

namespace {

std::string first_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < 20; ++i) text += lines[i] + "\n";
    return text;
}

// The printed files differ from standard SAN in 1,153 moves; an outside chess library
// writes each of those moves exactly as we do. The kinds: mates printed with "+", checks
// printed without "+" (mostly discovered checks and early engine files), "+" on moves that
// give no check, and an origin file on knight moves whose other knight is pinned.
TEST(SanRealGamesSlow, BenchCollectionMatchesPrintedSan) {
    const std::string path = reference_file("games/bench.pgn");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    const ReplayReport report = replay_games(read_whole_file(path), 41);
    EXPECT_EQ(report.games, 108260u);
    EXPECT_EQ(report.moves, 8802831u);
    EXPECT_GT(report.round_trips, 200000u);
    EXPECT_EQ(count_kinds(report.differences),
              "check mark missing: 45\n"
              "check mark surplus: 7\n"
              "mate printed as check: 1095\n"
              "needless origin: 6\n");
    for (const SanDifference& d : report.differences)
        if (d.kind() == "other") ADD_FAILURE() << d.describe();
    EXPECT_TRUE(report.failures.empty()) << first_lines(report.failures);
    EXPECT_TRUE(report.round_trip_faults.empty()) << first_lines(report.round_trip_faults);
}

// Round-trips the position and every position up to `depth` plies below it.
void check_tree(ChessPosition& position, int depth, std::vector<std::string>& faults, std::size_t& positions) {
    const std::vector<std::string> found = round_trip_faults(position);
    faults.insert(faults.end(), found.begin(), found.end());
    ++positions;
    if (depth == 0) return;
    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move move : moves) {
        position.make_move(move);
        check_tree(position, depth - 1, faults, positions);
        position.unmake_move();
    }
}

TEST(SanRoundTripSlow, PerftPositionsThreePliesDeep) {
    const std::string path = reference_file("perft.txt");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    std::vector<std::string> faults;
    std::size_t positions = 0;
    for (const std::string& fen : perft_file_positions(path)) {
        ChessPosition position = position_from(fen);
        check_tree(position, 3, faults, positions);
    }
    EXPECT_GT(positions, 300000u);
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults:\n" << first_lines(faults);
}

}  // namespace
