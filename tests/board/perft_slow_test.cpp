// The larger perft reference lines (up to five million leaves each).
#include <gtest/gtest.h>

#include "board_fixtures.h"

namespace {

TEST(PerftSlow, ReferenceLinesUpTo5MillionNodes) {
    const std::vector<PerftLine> lines = reference_perft_lines(200'001, 5'000'000);
    if (lines.empty()) GTEST_SKIP() << "reference data absent";
    ChessPosition position(test_tables());
    for (const PerftLine& line : lines) {
        position.fen(line.fen);
        EXPECT_EQ(perft(position, line.depth), line.nodes) << line.fen << " depth " << line.depth;
    }
}

}  // namespace
