// Reading SAN by looking only at the pieces that can reach the destination must give the
// same move (check bit included) or the same error as generating every legal move.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "board/move_list.h"
#include "san_fast_path.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace {

std::string first_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) text += lines[i] + "\n";
    return text;
}

// Positions where a shortcut is most likely to go wrong: pins against the king along
// every kind of line, en passant that is illegal or discovers check, checks by
// promotion and underpromotion, double check, two pieces of a kind aiming at one square,
// castling next to king moves, boards missing a king, stale en passant fields.
const std::vector<std::string> tricky_positions = {
    std::string(ChessPosition::start_fen),
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1",
    "8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1",
    "8/5bk1/8/2Pp4/8/1K6/8/8 w - d6 0 1",
    "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
    "8/5k2/8/2Pp4/2B5/1K6/8/8 w - d6 0 1",
    "8/8/8/K2pP2r/8/8/8/7k w - d6 0 1",     // en passant along a rank pin
    "8/8/8/KPp4q/8/8/8/7k w - c6 0 1",      // the same, capturing towards the queen
    "4k3/8/8/2pP4/8/8/8/4K3 w - c6 0 1",    // plain en passant
    "4k3/8/8/3P4/8/8/8/4K3 w - c6 0 1",     // en passant field without the passed pawn
    "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1",
    "8/P1k5/K7/8/8/8/8/8 w - - 0 1",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "4k3/1P6/8/8/8/8/K7/8 w - - 0 1",
    "8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1",
    "4k3/8/8/8/8/8/4q3/R3K2R w KQ - 0 1",    // in check next to castling rights
    "4k3/4r3/8/8/1b6/8/3N4/4K3 w - - 0 1",   // knight pinned, king checked by nothing
    "4k3/8/8/1b6/8/3B1N2/4R3/4K3 b - - 0 1", // double-line pressure, black to move
    "1k6/8/8/3N1N2/8/3N1N2/8/6K1 w - - 0 1", // four knights on one target
    "k7/8/8/3Q1Q2/8/3Q1Q2/8/6K1 w - - 0 1",  // four queens: origin hints decide
    "k7/8/1R6/8/8/1R2B3/8/6K1 w - - 0 1",    // discovering bishop and rooks on a file
    "4k3/8/4r3/8/8/8/4R3/R3K2R w KQ - 0 1",  // rook pinned along the file
    "8/2k5/8/8/8/8/4P3/8 w - - 0 1",         // no white king
    "8/8/8/8/8/8/4P3/4K3 w - - 0 1",         // no black king
    "r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1",
    "8/8/8/8/8/8/6k1/4K2R w K - 0 1",
    "3k4/8/8/8/8/8/8/R3K3 w Q - 0 1",
    "4k3/8/8/8/8/4P3/8/4R1K1 w - - 0 1",     // a pawn push that keeps the rook's file shut
    "4k3/8/8/8/3p4/8/8/4R1K1 b - - 0 1",     // a black pawn stepping off no line
};

std::vector<std::string> all_tokens(ChessPosition& position) {
    std::vector<std::string> tokens = legal_move_spellings(position);
    const std::vector<std::string> grid = destination_grid("ae4");
    tokens.insert(tokens.end(), grid.begin(), grid.end());
    // Forms the reader treats specially or rejects.
    for (const std::string token : {"O-O", "O-O-O", "O-O+", "O-O-O#", "0-0", "--", "", "e", "e9", "i4",
                                    "Nf3)", "e8=", "e8=X", "e4 ", "Zf3", "Kxe2", "e2e4", "e7e8n"})
        tokens.push_back(token);
    return tokens;
}

TEST(SanFastPath, AgreesWithFullGenerationOnTrickyPositionsAndTheirChildren) {
    for (const std::string& fen : tricky_positions) {
        ChessPosition position = position_from(fen);
        std::vector<std::string> differences = fast_path_differences(position, all_tokens(position));
        MoveList moves;
        position.generate_legal_moves(moves);
        for (const Move& move : moves) {
            position.make_move(move);
            const std::vector<std::string> child = fast_path_differences(position, legal_move_spellings(position));
            differences.insert(differences.end(), child.begin(), child.end());
            position.unmake_move();
        }
        EXPECT_TRUE(differences.empty()) << fen << "\n" << first_lines(differences);
    }
}

TEST(SanFastPath, AgreesWithFullGenerationOnPerftPositions) {
    const std::string path = reference_file("perft.txt");
    if (path.empty()) GTEST_SKIP() << "reference data absent";
    for (const std::string& fen : perft_file_positions(path)) {
        ChessPosition position = position_from(fen);
        const std::vector<std::string> differences = fast_path_differences(position, all_tokens(position));
        EXPECT_TRUE(differences.empty()) << fen << "\n" << first_lines(differences);
    }
}

TEST(SanFastPath, ErrorsAndResultsMatchWordForWord) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    SanMove fast(position), full(position);
    fast = "Nf3";
    full.assign_by_generation("Nf3");
    EXPECT_EQ(fast.move().word(), full.move().word());
    EXPECT_EQ(fast.text(), "Nf3");
    EXPECT_EQ(full.text(), "Nf3");
    for (const std::string token : {"Nd4", "e5", "Ke2", "Qh5=Q", "exd3"}) {
        std::string fast_error, full_error;
        try { fast = token; } catch (const std::logic_error& e) { fast_error = e.what(); }
        try { full.assign_by_generation(token); } catch (const std::logic_error& e) { full_error = e.what(); }
        EXPECT_FALSE(fast_error.empty()) << token;
        EXPECT_EQ(fast_error, full_error) << token;
        EXPECT_TRUE(fast.move().is_empty());
        EXPECT_TRUE(full.move().is_empty());
    }
}

TEST(SanFastPath, AgreesOnTheSmallSampleGames) {
    const std::string dir = reference_file("games/samples");
    if (dir.empty()) GTEST_SKIP() << "reference data absent";
    std::size_t compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".pgn" || entry.file_size() > 500000) continue;
        const std::vector<std::string> differences =
            replay_fast_path(read_whole_file(entry.path().string()), 0, compared);
        EXPECT_TRUE(differences.empty()) << entry.path() << "\n" << first_lines(differences);
    }
    EXPECT_GT(compared, 10000u);
}

}  // namespace
