// Every legal move, written and read back, is the same move with "#" exactly on mates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/move_list.h"
#include "notation_support.h"

namespace vorline {

namespace {

// Where SAN is most likely to go wrong, beside the perft positions: en passant that
// discovers check or has no passed pawn, checks by underpromotion, castling next to a
// checked king, several pieces of a kind on one target, a missing king; a busy middle game.
const std::vector<std::string> tricky_positions = {
    "8/5bk1/8/2Pp4/8/1K6/8/8 w - d6 0 1",
    "8/5k2/8/2Pp4/2B5/1K6/8/8 w - d6 0 1",
    "8/8/8/KPp4q/8/8/8/7k w - c6 0 1",
    "4k3/8/8/3P4/8/8/8/4K3 w - c6 0 1",
    "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1",
    "4k3/8/8/8/8/8/4q3/R3K2R w KQ - 0 1",
    "4r1k1/8/8/8/8/3n4/8/R2QK2R w KQ - 0 1",
    "4k3/8/8/1b6/8/3B1N2/4R3/4K3 b - - 0 1",
    "k7/8/1R6/8/8/1R2B3/8/6K1 w - - 0 1",
    "1k6/8/8/3N1N2/8/3N1N2/8/6K1 w - - 0 1",
    "7k/1Q3Q2/8/3N1N2/2N3N1/1Q6/5Q2/K7 w - - 0 1",
    "8/2k5/8/8/8/8/4P3/8 w - - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
};

TEST(SanRoundTrip, TrickyAndPerftPositionsAndTheirChildren) {
    for (const std::string& fen : with_perft_positions(tricky_positions)) {
        ChessPosition position = position_from(fen);
        std::vector<std::string> faults = round_trip_faults(position);
        MoveList moves;
        position.generate_legal_moves(moves);
        for (const Move move : moves) {
            position.make_move(move);
            const std::vector<std::string> found = round_trip_faults(position);
            faults.insert(faults.end(), found.begin(), found.end());
            position.unmake_move();
        }
        EXPECT_TRUE(faults.empty()) << fen << ": " << faults.size() << " faults\n"
                                    << first_lines(faults);
    }
}

}  // namespace

}  // namespace vorline
