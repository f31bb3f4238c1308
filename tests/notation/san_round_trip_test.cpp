// Every legal move, written and read back on its position, is the same move (check bit
// included), with "#" exactly on mates; and the reading shortcut gives what full generation
// gives, move or error, for many spellings of every legal move and for illegal tokens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notation_support.h"

namespace {

// Where SAN and the shortcut are most likely to go wrong: pins along every kind of line,
// en passant that is legal, illegal, discovers check or has no passed pawn, checks by
// promotion and underpromotion, double checks, castling with check or next to a checked
// king, several pieces of a kind on one target, mates and stalemates, a missing king.
const char* const tricky_positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1",
    "8/5bk1/8/2Pp4/8/1K6/8/8 w - d6 0 1",
    "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
    "8/5k2/8/2Pp4/2B5/1K6/8/8 w - d6 0 1",
    "8/8/8/K2pP2r/8/8/8/7k w - d6 0 1",
    "8/8/8/KPp4q/8/8/8/7k w - c6 0 1",
    "4k3/8/8/3P4/8/8/8/4K3 w - c6 0 1",
    "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1",
    "8/P1k5/K7/8/8/8/8/8 w - - 0 1",
    "8/k1P5/8/1K6/8/8/8/8 w - - 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1",
    "8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1",
    "5k2/8/8/8/8/8/8/4K2R w K - 0 1",
    "4k3/8/8/8/8/8/4q3/R3K2R w KQ - 0 1",
    "4r1k1/8/8/8/8/3n4/8/R2QK2R w KQ - 0 1",
    "4k3/4r3/8/8/1b6/8/3N4/4K3 w - - 0 1",
    "4k3/8/8/1b6/8/3B1N2/4R3/4K3 b - - 0 1",
    "4k3/8/4r3/8/8/8/4R3/R3K2R w KQ - 0 1",
    "k7/8/1R6/8/8/1R2B3/8/6K1 w - - 0 1",
    "4k3/8/8/8/8/4P3/8/4R1K1 w - - 0 1",
    "1k6/8/8/3N1N2/8/3N1N2/8/6K1 w - - 0 1",
    "7k/1Q3Q2/8/3N1N2/2N3N1/1Q6/5Q2/K7 w - - 0 1",
    "7k/8/8/3q1q2/8/3q1q2/8/K7 b - - 0 1",
    "8/2k5/8/8/8/8/4P3/8 w - - 0 1",
    "8/8/8/8/8/8/4P3/4K3 w - - 0 1",
};

// At the root: all spellings, the destination grid with origin hints and forms the reader
// treats specially; one ply on: round trips, and the spellings when asked.
std::vector<std::string> faults_near(const std::string& fen, bool spellings_at_children) {
    ChessPosition position = position_from(fen);
    std::vector<std::string> faults;
    visit_tree(position, 1, [&](ChessPosition& p, int ply) {
        std::vector<std::string> found = round_trip_faults(p);
        faults.insert(faults.end(), found.begin(), found.end());
        if (ply == 1 && !spellings_at_children) return;
        std::vector<std::string> tokens = legal_move_spellings(p);
        if (ply == 0) {
            const std::vector<std::string> grid = destination_grid("ae4");
            tokens.insert(tokens.end(), grid.begin(), grid.end());
            tokens.insert(tokens.end(), {"O-O", "O-O-O", "O-O+", "O-O-O#", "0-0", "--", "", "e", "e9", "i4",
                                         "Nf3)", "e8=", "e8=X", "e4 ", "Zf3", "Kxe2", "e2e4", "e7e8n"});
        }
        found = fast_path_differences(p, tokens);
        faults.insert(faults.end(), found.begin(), found.end());
    });
    return faults;
}

TEST(SanRoundTrip, TrickyPositionsAndTheirChildren) {
    for (const char* fen : tricky_positions) {
        const std::vector<std::string> faults = faults_near(fen, true);
        EXPECT_TRUE(faults.empty()) << fen << ": " << faults.size() << " faults\n" << first_lines(faults);
    }
}

TEST(SanRoundTrip, PerftPositionsAndTheirChildren) {
    const std::string path = reference_file("perft.txt");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    const std::vector<std::string> fens = perft_file_positions(path);
    ASSERT_GE(fens.size(), 30u);
    for (const std::string& fen : fens) {
        const std::vector<std::string> faults = faults_near(fen, false);
        EXPECT_TRUE(faults.empty()) << fen << ": " << faults.size() << " faults\n" << first_lines(faults);
    }
}

}  // namespace
