#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "board/move.h"

namespace {

using namespace squares;

TEST(Move, PacksTheFieldsIntoTheDocumentedWord) {
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, Piece::no_piece);
    EXPECT_EQ(e2e4.word(), 0xC10131Cu);
    EXPECT_EQ(e2e4.from(), Square{e2});
    EXPECT_EQ(e2e4.to(), Square{e4});
    EXPECT_EQ(e2e4.code(), Move::normal_move);
    EXPECT_EQ(e2e4.piece(), Piece{Piece::white_pawn});
    EXPECT_EQ(e2e4.capture(), Piece{});
    EXPECT_FALSE(e2e4.check());
    EXPECT_EQ(e2e4.xcode(), Move::xnormal_move);
    // The same move built from value types.
    EXPECT_EQ(Move(Square{"e2"}, Square{"e4"}, Move::normal_move, Piece{1}, Piece{}).word(), e2e4.word());
}

TEST(Move, ConstructionMasksSquaresAndLeavesCheckClear) {
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
    EXPECT_EQ(changed([](Move& m) { m.set_capture(Piece{Piece::black_king}); }) & ~0xF0000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_piece(Piece{Piece::black_king}); }) & ~0xF00000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_xcode(Move::killer); }) & ~0xFF000000u, 0u);

    Move move = original;
    move.set_check(true);
    move.set_check(false);
    EXPECT_EQ(move.word(), original.word());
    move.set_xcode(255);
    EXPECT_EQ(move.xcode(), 255u);
    EXPECT_EQ(move.piece(), Piece{Piece::white_knight});
}

TEST(Move, TheEmptyMoveHasNoSquares) {
    const Move empty;
    EXPECT_TRUE(empty.is_empty());
    EXPECT_EQ(empty.word(), 0u);
    EXPECT_EQ(empty.from(), Square{no_square});
    EXPECT_EQ(empty.to(), Square{no_square});
    EXPECT_EQ(empty.coordinate_text(), "0000");
    EXPECT_NE(empty, Move(a1, a1, Move::nullmove, Piece::white_pawn, Piece::no_piece));
    // a1a1 with fields is not empty: its squares read straight from the bits.
    Move a1a1(a1, a1, Move::normal_move, Piece::white_king, Piece::no_piece);
    EXPECT_EQ(a1a1.from(), Square{a1});
    a1a1.clear();
    EXPECT_TRUE(a1a1.is_empty());
}

TEST(Move, EqualityIgnoresTheLabelButNotTheCheckBit) {
    Move a(d1, h5, Move::normal_move, Piece::white_queen, Piece::no_piece);
    Move b = a;
    b.set_xcode(Move::good_capture);
    EXPECT_EQ(a, b);
    b.set_check(true);
    EXPECT_NE(a, b);
}

TEST(Move, CoordinateTexts) {
    EXPECT_EQ(Move(e2, e4, Move::normal_move, Piece::white_pawn, 0u).coordinate_text(), "e2e4");
    EXPECT_EQ(Move(e7, e8, Move::promo_queen, Piece::white_pawn, 0u).coordinate_text(), "e7e8q");
    EXPECT_EQ(Move(d2, d1, Move::promo_knight, Piece::black_pawn, 0u).coordinate_text(), "d2d1n");
    EXPECT_EQ(Move(b7, a8, Move::promo_rook, Piece::white_pawn, Piece::black_rook).coordinate_text(), "b7a8r");
    EXPECT_EQ(Move(g2, h1, Move::promo_bishop, Piece::black_pawn, 0u).coordinate_text(), "g2h1b");

    const Move short_white(e1, h1, Move::castling, Piece::white_king, 0u);
    EXPECT_EQ(short_white.coordinate_text(), "e1g1");
    EXPECT_EQ(short_white.coordinate_text(true), "e1h1");
    EXPECT_TRUE(short_white.is_king_side_castling());
    EXPECT_EQ(Move(e1, a1, Move::castling, Piece::white_king, 0u).coordinate_text(), "e1c1");
    EXPECT_EQ(Move(e8, h8, Move::castling, Piece::black_king, 0u).coordinate_text(), "e8g8");
    const Move long_black(e8, a8, Move::castling, Piece::black_king, 0u);
    EXPECT_EQ(long_black.coordinate_text(), "e8c8");
    EXPECT_FALSE(long_black.is_king_side_castling());
    // A castling from another set-up keeps the king-onto-rook form.
    EXPECT_EQ(Move(f1, g1, Move::castling, Piece::white_king, 0u).coordinate_text(), "f1g1");
}

TEST(Move, PromotionsNameThePiecePutOnTheBoard) {
    EXPECT_EQ(Move(e7, e8, Move::promo_queen, Piece::white_pawn, 0u).promoted_code(), Piece::white_queen);
    EXPECT_EQ(Move(e7, e8, Move::promo_knight, Piece::white_pawn, 0u).promoted_code(), Piece::white_knight);
    EXPECT_EQ(Move(e2, e1, Move::promo_rook, Piece::black_pawn, 0u).promoted_code(), Piece::black_rook);
    EXPECT_EQ(Move(e2, e1, Move::promo_bishop, Piece::black_pawn, 0u).promoted_code(), Piece::black_bishop);
    EXPECT_TRUE(Move(e2, e1, Move::promo_bishop, Piece::black_pawn, 0u).is_promotion());
    EXPECT_FALSE(Move(e1, h1, Move::castling, Piece::white_king, 0u).is_promotion());
    EXPECT_FALSE(Move(e2, e4, Move::normal_move, Piece::white_pawn, 0u).is_promotion());
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
    labelled.set_xcode(13);
    EXPECT_EQ(labelled.dump(),
              "from:d5  to:e6  code:en_passant  piece:white pawn  capture:black pawn  check:true   xcode:");
    try {
        Move(e2, e4, Move::normal_move, 7u, 0u).dump();
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "Piece::unknown piece");
    }
}

}  // namespace
