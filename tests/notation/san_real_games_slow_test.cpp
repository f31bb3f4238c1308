// Every main-line move of the benchmark collection (about 108,000 master and engine games)
// read, written and compared with its printed SAN.
#include <gtest/gtest.h>

#include <string>

#include "notation_support.h"

namespace vorline {

namespace {

// The printed files differ from standard SAN in 1,153 moves; an outside chess library
// writes each of those moves exactly as we do: 1,095 mates printed with "+", 45 checks
// printed without "+" (mostly discovered checks and early engine files), 7 "+" on moves
// that give no check, and 6 origin files on knight moves whose other knight is pinned.
TEST(SanRealGamesSlow, BenchCollectionMatchesPrintedSan) {
    const std::string path = reference_file("games/bench.pgn");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    const ReplayReport report = replay_games(read_whole_file(path), 41);
    EXPECT_EQ(report.games, 108260u);
    EXPECT_EQ(report.moves, 8802831u);
    EXPECT_GT(report.round_trips, 200000u);
    EXPECT_EQ(report.differences.size(), 1153u);
    EXPECT_TRUE(report.failures.empty() && report.faults.empty()) << report.listed();
}

}  // namespace

}  // namespace vorline
