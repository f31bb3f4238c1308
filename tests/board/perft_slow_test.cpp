// The larger perft reference lines (up to five million leaves each).
#include <gtest/gtest.h>

#include "board_fixtures.h"

namespace {

TEST(PerftSlow, ReferenceLinesUpTo5MillionNodes) {
    if (!reference_data_present()) GTEST_SKIP() << "reference data absent";
    const std::vector<PerftLine> lines = reference_perft_lines(200'001, 5'000'000);
    ASSERT_FALSE(lines.empty());
    ChessPosition position(test_tables());
    for (const PerftLine& line : lines) {
        position.fen(line.fen);
        EXPECT_EQ(perft(position, line.depth), line.nodes) << line.fen << " depth " << line.depth;
    }
}

}  // namespace
