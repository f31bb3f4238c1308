// Leaf counts of legal-move generation against published perft values.
#include <gtest/gtest.h>

#include "board_fixtures.h"

namespace {

// A few positions kept here so that generation is tested without the reference data:
// castling, promotions, en passant traps, pins and checks.
TEST(Perft, InlinePositionsMatchPublishedCounts) {
    const PerftLine lines[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 5, 674624},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
        {"3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 5, 185429},
        {"8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 5, 206379},
        {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 4, 182838},
    };
    for (const PerftLine& line : lines) {
        ChessPosition position = position_from(line.fen);
        EXPECT_EQ(perft(position, line.depth), line.nodes) << line.fen << " depth " << line.depth;
    }
}

// Every reference line small enough for the sanitizer run; the larger ones are in the
// slow program and the deepest in vorline-bench perft.
TEST(Perft, ReferenceLinesUpTo200kNodes) {
    if (!reference_data_present()) GTEST_SKIP() << "reference data absent";
    const std::vector<PerftLine> lines = reference_perft_lines(0, 200'000);
    ASSERT_GT(lines.size(), 100u);
    ChessPosition position(test_tables());
    for (const PerftLine& line : lines) {
        position.fen(line.fen);
        EXPECT_EQ(perft(position, line.depth), line.nodes) << line.fen << " depth " << line.depth;
    }
}

}  // namespace
