#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "board/move.h"

namespace {

using namespace squares;

TEST(Move, PacksTheFieldsIntoTheDocumentedWord) {
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, Piece::no_piece);
    EXPECT_EQ(e2e4.word(), 0xC10131Cu);
    EXPECT_EQ(Move(Square{"e2"}, Square{"e4"}, Move::normal_move, Piece{1}, Piece{}).word(), e2e4.word());
    // Squares are masked to six bits and the check bit starts clear.
    const Move move(64 + e7, 64 + e8, Move::promo_queen, Piece::white_pawn, Piece::black_rook);
    EXPECT_EQ(move.from_index(), e7);
    EXPECT_EQ(move.to_index(), e8);
    EXPECT_EQ(move.capture(), Piece{Piece::black_rook});
    EXPECT_FALSE(move.check());
}

TEST(Move, EachSetterTouchesOnlyItsOwnBits) {
    const Move original(g1, f3, Move::normal_move, Piece::white_knight, Piece::black_pawn);
    auto changed = [&](auto edit) {
        Move move = original;
        edit(move);
        return move.word() ^ original.word();
    };
    EXPECT_EQ(changed([](Move& m) { m.set_to(Square{h8}); }) & ~0x3Fu, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_from(Square{h8}); }) & ~0xFC0u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_code(Move::en_passant); }) & ~0x7000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_check(true); }), 0x8000u);
    EXPECT_EQ(changed([](Move& m) { m.set_check(true); m.set_check(false); }), 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_capture(Piece{Piece::black_king}); }) & ~0xF0000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_piece(Piece{Piece::black_king}); }) & ~0xF00000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_xcode(255); }) & ~0xFF000000u, 0u);
}

TEST(Move, EmptyMoveAndEquality) {
    const Move empty;
    EXPECT_TRUE(empty.is_empty());
    EXPECT_EQ(empty.from(), Square{no_square});
    EXPECT_EQ(empty.to(), Square{no_square});
    EXPECT_EQ(empty.coordinate_text(), "0000");
    EXPECT_NE(empty, Move(a1, a1, Move::nullmove, Piece::white_pawn, Piece::no_piece));
    // a1a1 with fields is not empty: its squares read straight from the bits.
    EXPECT_EQ(Move(a1, a1, Move::normal_move, Piece::white_king, 0u).from(), Square{a1});

    // The ordering label does not count for equality; the check bit does.
    Move a(d1, h5, Move::normal_move, Piece::white_queen, Piece::no_piece);
    Move b = a;
    b.set_xcode(Move::good_capture);
    EXPECT_EQ(a, b);
    b.set_check(true);
    EXPECT_NE(a, b);
}

TEST(Move, CoordinateTextsAndPromotedPieces) {
    const std::tuple<Move, const char*, std::uint32_t> promotions[] = {
        {Move(e7, e8, Move::promo_queen, Piece::white_pawn, 0u), "e7e8q", Piece::white_queen},
        {Move(d2, d1, Move::promo_knight, Piece::black_pawn, 0u), "d2d1n", Piece::black_knight},
        {Move(b7, a8, Move::promo_rook, Piece::white_pawn, Piece::black_rook), "b7a8r", Piece::white_rook},
        {Move(g2, h1, Move::promo_bishop, Piece::black_pawn, 0u), "g2h1b", Piece::black_bishop}};
    for (const auto& [move, text, promoted] : promotions) {
        EXPECT_EQ(move.coordinate_text(), text);
        EXPECT_TRUE(move.is_promotion());
        EXPECT_EQ(move.promoted_code(), promoted) << text;
    }
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, 0u);
    EXPECT_EQ(e2e4.coordinate_text(), "e2e4");
    EXPECT_FALSE(e2e4.is_promotion());

    // Standard castlings print in the king's two-square form unless the stored form is asked for.
    const std::tuple<std::uint32_t, std::uint32_t, const char*, bool> castlings[] = {
        {e1, h1, "e1g1", true}, {e1, a1, "e1c1", false}, {e8, h8, "e8g8", true}, {e8, a8, "e8c8", false},
        {f1, g1, "f1g1", true}};  // from another set-up: the king-onto-rook form stays
    for (const auto& [from, to, text, king_side] : castlings) {
        const Move castling(from, to, Move::castling, Piece::white_king, 0u);
        EXPECT_EQ(castling.coordinate_text(), text);
        EXPECT_EQ(castling.coordinate_text(true), Square{from}.name() + Square{to}.name());
        EXPECT_EQ(castling.is_king_side_castling(), king_side) << text;
        EXPECT_FALSE(castling.is_promotion());
    }
}

TEST(Move, DumpTexts) {
    EXPECT_EQ(Move(e2, e4, Move::normal_move, Piece::white_pawn, 0u).dump(),
              "from:e2  to:e4  code:normal_move  piece:white pawn  capture:no piece  check:false   "
              "xcode:xnormal_move\n");
    EXPECT_EQ(Move().dump(),
              "from:no_square  to:no_square  code:nullmove  piece:no piece  capture:no piece  "
              "check:false   xcode:hashtable_move\n");
    Move labelled(d5, e6, Move::en_passant, Piece::white_pawn, Piece::black_pawn);
    labelled.set_check(true);
    labelled.set_xcode(13);  // no name and no line end above the last label
    EXPECT_EQ(labelled.dump(),
              "from:d5  to:e6  code:en_passant  piece:white pawn  capture:black pawn  check:true   xcode:");
    EXPECT_THROW(Move(e2, e4, Move::normal_move, 7u, 0u).dump(), std::logic_error);
}

}  // namespace
