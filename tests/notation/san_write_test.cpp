// Writing moves in SAN: piece letters, captures, disambiguation against the legal moves,
// promotions, castling, check and mate marks.
#include <gtest/gtest.h>

#include <string>

#include "board/move_list.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace {

// The SAN text of the legal move given in coordinate form ("e1h1" for castling).
std::string san_of(ChessPosition& position, std::string_view coordinates) {
    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move move : moves)
        if (move.coordinate_text(true) == coordinates || move.coordinate_text() == coordinates)
            return SanMove(position, move).text();
    return "(not legal: " + std::string(coordinates) + ")";
}

TEST(SanWrite, PawnAndPieceMovesFromTheStart) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    EXPECT_EQ(san_of(position, "e2e4"), "e4");
    EXPECT_EQ(san_of(position, "a2a3"), "a3");
    EXPECT_EQ(san_of(position, "g1f3"), "Nf3");
    EXPECT_EQ(san_of(position, "b1c3"), "Nc3");
}

TEST(SanWrite, TheMoveIsCopiedWithoutItsOrderingLabel) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    MoveList moves;
    position.generate_legal_moves(moves);
    const SanMove san(position, moves[0]);
    EXPECT_EQ(san.move(), moves[0]);
    EXPECT_EQ(san.move().xcode(), 0u);
}

TEST(SanWrite, CapturesAndEnPassant) {
    ChessPosition position = position_from("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
    EXPECT_EQ(san_of(position, "e5f6"), "exf6");  // en passant, no suffix
    position.fen("rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    EXPECT_EQ(san_of(position, "e4d5"), "exd5");
    position.fen("rnbqkbnr/ppp1pppp/8/3p4/8/2N5/PPPPPPPP/R1BQKBNR w KQkq - 0 2");
    EXPECT_EQ(san_of(position, "c3d5"), "Nxd5");
    EXPECT_EQ(san_of(position, "c3b5"), "Nb5");
}

TEST(SanWrite, DisambiguationByFileThenRankThenBoth) {
    // Knights on b8 and f6 reach d7: the file tells them apart.
    ChessPosition position = position_from("rnbqkb1r/ppp1pppp/5n2/3p4/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1");
    EXPECT_EQ(san_of(position, "b8d7"), "Nbd7");
    EXPECT_EQ(san_of(position, "f6d7"), "Nfd7");
    EXPECT_EQ(san_of(position, "f6e4"), "Ne4");
    // Rooks on a1 and a5 reach a3: the same file, so the rank.
    position.fen("4k3/8/8/R7/8/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(san_of(position, "a1a3"), "R1a3");
    EXPECT_EQ(san_of(position, "a5a3"), "R5a3");
    EXPECT_EQ(san_of(position, "a1d1"), "Rd1");
    // Queens on h4, e4 and h1 reach e1: file and rank each shared, so both.
    position.fen("1k6/8/8/8/4Q2Q/8/K7/4r2Q w - - 0 1");
    EXPECT_EQ(san_of(position, "h4e1"), "Qh4xe1");
    EXPECT_EQ(san_of(position, "e4e1"), "Qexe1");
    EXPECT_EQ(san_of(position, "h1e1"), "Q1xe1");
    position.fen("1k6/8/8/8/4Q2Q/8/K7/7Q w - - 0 1");
    EXPECT_EQ(san_of(position, "h4e1"), "Qh4e1");
}

TEST(SanWrite, OnlyLegalMovesCountForDisambiguation) {
    // The knight on c3 is pinned by the bishop on b4, so Ng1-e2 needs no hint.
    ChessPosition position = position_from("4k3/8/8/8/1b6/2N5/8/4K1N1 w - - 0 1");
    EXPECT_EQ(san_of(position, "g1e2"), "Ne2");
    // Unpinned, both knights count.
    position.fen("4k3/8/8/8/8/2N5/8/4K1N1 w - - 0 1");
    EXPECT_EQ(san_of(position, "g1e2"), "Nge2");
    EXPECT_EQ(san_of(position, "c3e2"), "Nce2");
    // A rook pinned along the e-file attacks c4 but may not go there.
    position.fen("4r2k/8/8/8/R3R3/8/8/4K3 w - - 0 1");
    EXPECT_EQ(san_of(position, "a4c4"), "Rc4");
    position.fen("7k/8/8/8/R3R3/8/8/4K3 w - - 0 1");
    EXPECT_EQ(san_of(position, "a4c4"), "Rac4");
}

TEST(SanWrite, Promotions) {
    ChessPosition position = position_from("3r4/4P1k1/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(san_of(position, "e7e8q"), "e8=Q");
    EXPECT_EQ(san_of(position, "e7e8r"), "e8=R");
    EXPECT_EQ(san_of(position, "e7e8b"), "e8=B");
    EXPECT_EQ(san_of(position, "e7e8n"), "e8=N+");
    EXPECT_EQ(san_of(position, "e7d8n"), "exd8=N");
    EXPECT_EQ(san_of(position, "e7d8q"), "exd8=Q");
    // Two pawns promoting onto the same square are told apart by their files only.
    position.fen("1r1r4/2P5/8/8/8/8/6k1/4K3 w - - 0 1");
    EXPECT_EQ(san_of(position, "c7b8q"), "cxb8=Q");
    EXPECT_EQ(san_of(position, "c7d8r"), "cxd8=R");
    position.fen("8/8/8/8/8/8/1p4k1/R3K3 b - - 0 1");
    EXPECT_EQ(san_of(position, "b2a1q"), "bxa1=Q+");
    EXPECT_EQ(san_of(position, "b2b1n"), "b1=N");
}

TEST(SanWrite, Castling) {
    ChessPosition position = position_from("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(san_of(position, "e1h1"), "O-O");
    EXPECT_EQ(san_of(position, "e1a1"), "O-O-O");
    position.fen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    EXPECT_EQ(san_of(position, "e8h8"), "O-O");
    EXPECT_EQ(san_of(position, "e8a8"), "O-O-O");
    position.fen("5k2/8/8/8/8/8/8/4K2R w K - 0 1");
    EXPECT_EQ(san_of(position, "e1h1"), "O-O+");
    position.fen("3k4/8/8/8/8/8/8/R3K3 w Q - 0 1");
    EXPECT_EQ(san_of(position, "e1a1"), "O-O-O+");
}

TEST(SanWrite, CheckAndMateMarksFollowTheCheckBit) {
    ChessPosition position = position_from("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2");
    EXPECT_EQ(san_of(position, "d8h4"), "Qh4#");
    EXPECT_EQ(san_of(position, "f8b4"), "Bb4");
    // The writer trusts the bit: the same mating move without it gets no mark.
    MoveList moves;
    position.generate_legal_moves(moves);
    for (Move move : moves) {
        if (move.coordinate_text() != "d8h4") continue;
        move.set_check(false);
        EXPECT_EQ(SanMove(position, move).text(), "Qh4");
    }
    // Smothered mate, back-rank mate, mate by promotion.
    position.fen("6rk/6pp/8/6N1/8/8/8/K6R w - - 0 1");
    EXPECT_EQ(san_of(position, "g5f7"), "Nf7#");
    position.fen("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(san_of(position, "a1a8"), "Ra8#");
    EXPECT_EQ(san_of(position, "a1a7"), "Ra7");
    position.fen("6k1/4P3/6K1/8/8/8/8/8 w - - 0 1");
    EXPECT_EQ(san_of(position, "e7e8q"), "e8=Q#");
    EXPECT_EQ(san_of(position, "e7e8r"), "e8=R#");
    EXPECT_EQ(san_of(position, "e7e8b"), "e8=B");
    // Check that is no mate.
    position.fen("6k1/6pp/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(san_of(position, "a1a8"), "Ra8+");
}

TEST(SanWrite, WritingLeavesThePositionAsItWas) {
    ChessPosition position = position_from("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2");
    const std::string fen = position.fen();
    const std::uint64_t key = position.hash();
    const std::size_t history = position.history().size();
    const std::size_t repetitions = position.repetition_list().size();
    EXPECT_EQ(san_of(position, "d8h4"), "Qh4#");
    EXPECT_EQ(san_of(position, "d8g5"), "Qg5");
    EXPECT_EQ(position.fen(), fen);
    EXPECT_EQ(position.hash(), key);
    EXPECT_EQ(position.history().size(), history);
    EXPECT_EQ(position.repetition_list().size(), repetitions);
}

TEST(SanWrite, NullMoveWritesTwoDashes) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    EXPECT_EQ(SanMove(position, Move()).text(), "--");
}

}  // namespace
