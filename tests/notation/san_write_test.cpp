// Writing moves in SAN: disambiguation against the legal moves only, promotions, castling,
// check and mate marks.
#include <gtest/gtest.h>

#include <string>

#include "board/move_list.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace vorline {

namespace {

struct Row {
    const char* fen;
    const char* move;  // coordinates, "e1h1" for castling
    const char* san;
};

const Row rows[] = {
    {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", "e5f6",
     "exf6"},  // en passant
    // The file tells the knights apart, the rank the rooks on one file, both the queens.
    {"rnbqkb1r/ppp1pppp/5n2/3p4/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1", "b8d7", "Nbd7"},
    {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a1a3", "R1a3"},
    {"1k6/8/8/8/4Q2Q/8/K7/4r2Q w - - 0 1", "h4e1", "Qh4xe1"},
    {"1k6/8/8/8/4Q2Q/8/K7/4r2Q w - - 0 1", "h1e1", "Q1xe1"},
    // Pinned pieces are no rivals.
    {"4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1", "g1e2", "Ne2"},
    {"4r2k/8/8/8/R3R3/8/8/4K3 w - - 0 1", "a4c4", "Rc4"},
    {"3r4/4P1k1/8/8/8/8/8/4K3 w - - 0 1", "e7e8n", "e8=N+"},
    {"1r1r4/2P5/8/8/8/8/6k1/4K3 w - - 0 1", "c7d8r", "cxd8=R"},
    {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8a8", "O-O-O"},
    {"5k2/8/8/8/8/8/8/4K2R w K - 0 1", "e1h1", "O-O+"},
    // "#" exactly on mates: smothered, back rank, by promotion; not on stalemate.
    {"6rk/6pp/8/6N1/8/8/8/K6R w - - 0 1", "g5f7", "Nf7#"},
    {"6k1/6pp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", "Ra8+"},
    {"6k1/4P3/6K1/8/8/8/8/8 w - - 0 1", "e7e8r", "e8=R#"},
    {"k7/2P5/1K6/8/8/8/8/8 w - - 0 1", "c7c8n", "c8=N"},
};

TEST(SanWrite, LegalMovesAreWrittenInStandardForm) {
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.fen) + " " + row.move);
        ChessPosition position = position_from(row.fen);
        MoveList moves;
        position.generate_legal_moves(moves);
        std::string written = "(not legal)";
        for (const Move move : moves)
            if (move.coordinate_text(true) == row.move) written = SanMove(position, move).text();
        EXPECT_EQ(written, row.san);
    }
    // The mark follows the move's check bit; the null move is two dashes.
    ChessPosition position =
        position_from("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2");
    Move mate = SanMove(position, "Qh4").move();
    mate.set_check(false);
    EXPECT_EQ(SanMove(position, mate).text(), "Qh4");
    EXPECT_EQ(SanMove(position, Move()).text(), "--");
}

}  // namespace

}  // namespace vorline
