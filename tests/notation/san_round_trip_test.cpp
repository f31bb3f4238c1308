// Every legal move, written in SAN and read back on the same position, is the same move
// (check bit included), and "#" marks exactly the mating moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/move_list.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace {

// Positions rich in what SAN must get right: promotions with and without capture,
// en passant (legal, illegal, checking), castling with check, pins, double checks,
// several pieces of a kind reaching one square, mates and stalemates.
const char* const tricky_positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "8/5bk1/8/2Pp4/8/1K6/8/8 w - d6 0 1",
    "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
    "5k2/8/8/8/8/8/8/4K2R w K - 0 1",
    "3k4/8/8/8/8/8/8/R3K3 w Q - 0 1",
    "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1",
    "8/P1k5/K7/8/8/8/8/8 w - - 0 1",
    "8/k1P5/8/1K6/8/8/8/8 w - - 0 1",
    "8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "4k3/3p1p2/8/4P3/4K3/8/8/8 b - - 0 1",
    "4r1k1/8/8/8/8/3n4/8/R2QK2R w KQ - 0 1",
    // Three queens and two rooks of one colour reaching the same squares.
    "1k6/8/2Q3Q1/8/R3Q2R/8/K7/8 w - - 0 1",
    "7k/1Q3Q2/8/3N1N2/2N3N1/1Q6/5Q2/K7 w - - 0 1",
    "7k/8/8/3q1q2/8/3q1q2/8/K7 b - - 0 1",
};

std::string joined(const std::vector<std::string>& faults) {
    std::string text;
    for (std::size_t i = 0; i < faults.size() && i < 20; ++i) text += faults[i] + "\n";
    return text;
}

// The position and every position one move later.
void check_position_and_children(ChessPosition& position, std::vector<std::string>& faults) {
    std::vector<std::string> found = round_trip_faults(position);
    faults.insert(faults.end(), found.begin(), found.end());
    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move move : moves) {
        position.make_move(move);
        found = round_trip_faults(position);
        faults.insert(faults.end(), found.begin(), found.end());
        position.unmake_move();
    }
}

TEST(SanRoundTrip, TrickyPositionsAndTheirChildren) {
    std::vector<std::string> faults;
    for (const char* fen : tricky_positions) {
        ChessPosition position = position_from(fen);
        check_position_and_children(position, faults);
    }
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults, first ones:\n" << joined(faults);
}

TEST(SanRoundTrip, EveryPerftPosition) {
    const std::string path = reference_file("perft.txt");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    const std::vector<std::string> fens = perft_file_positions(path);
    ASSERT_GE(fens.size(), 30u);
    std::vector<std::string> faults;
    for (const std::string& fen : fens) {
        ChessPosition position = position_from(fen);
        check_position_and_children(position, faults);
    }
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults, first ones:\n" << joined(faults);
}

// Mates and stalemates: "#" for the one, nothing for the other.
TEST(SanRoundTrip, MatingMovesAreMarkedAndStalematingMovesAreNot) {
    ChessPosition position = position_from("8/k1P5/8/1K6/8/8/8/8 w - - 0 1");
    EXPECT_EQ(SanMove(position, SanMove(position, "c8=Q").move()).text(), "c8=Q");  // stalemate
    EXPECT_EQ(SanMove(position, SanMove(position, "c8=R").move()).text(), "c8=R");
    position.fen("k7/2P5/1K6/8/8/8/8/8 w - - 0 1");
    EXPECT_EQ(SanMove(position, SanMove(position, "c8=Q").move()).text(), "c8=Q#");
    EXPECT_EQ(SanMove(position, SanMove(position, "c8=R").move()).text(), "c8=R#");
    EXPECT_EQ(SanMove(position, SanMove(position, "c8=N").move()).text(), "c8=N");
}

}  // namespace
