// Leaf counts of legal-move generation against published perft values.
#include <gtest/gtest.h>

#include "support/reference_data.h"

namespace vorline {

namespace {

// The reference lines small enough for the sanitizer run (the larger ones are in the slow
// program); without the reference data, a few published positions kept here: castling,
// promotions, en passant traps, pins and checks.
TEST(Perft, PublishedCounts) {
    std::vector<PerftLine> lines = reference_perft_lines(0, 200'000);
    if (lines.empty())
        lines = {{"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4, 197281},
                 {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
                 {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238},
                 {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
                 {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379},
                 {"8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 5, 206379}};
    expect_perft_counts(lines);
}

}  // namespace

}  // namespace vorline
