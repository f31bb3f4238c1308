#include <gtest/gtest.h>

#include <string>

#include "board/move.h"

namespace {

using namespace squares;

TEST(Move, PackingSettersAndEquality) {
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, Piece::no_piece);
    EXPECT_EQ(e2e4.word(), 0xC10131Cu);
    const Move masked(64 + e7, 64 + e8, Move::promo_queen, Piece::white_pawn, Piece::black_rook);
    EXPECT_EQ(masked.from_index(), e7);
    EXPECT_EQ(masked.to_index(), e8);
    // Each setter touches only its own bits.
    const auto changed = [&](auto edit) {
        Move move = e2e4;
        edit(move);
        return move.word() ^ e2e4.word();
    };
    EXPECT_EQ(changed([](Move& m) { m.set_to(Square{h8}); }) & ~0x3Fu, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_from(Square{h8}); }) & ~0xFC0u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_code(Move::en_passant); }) & ~0x7000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_check(true); }), 0x8000u);
    EXPECT_EQ(changed([](Move& m) { m.set_capture(Piece{Piece::black_king}); }) & ~0xF0000u, 0u);
    EXPECT_EQ(changed([](Move& m) { m.set_piece(Piece{Piece::black_king}); }) & ~0xF00000u, 0u);
    // The ordering label does not count for equality; the check bit does.
    Move b = e2e4;
    b.set_xcode(Move::good_capture);
    EXPECT_EQ(b, e2e4);
    b.set_check(true);
    EXPECT_NE(b, e2e4);
    EXPECT_TRUE(Move().is_empty());
    EXPECT_EQ(Move().coordinate_text(), "0000");
}

TEST(Move, CoordinateTextsOfPromotionsAndCastlings) {
    const std::tuple<Move, const char*, std::uint32_t> promotions[] = {
        {Move(e7, e8, Move::promo_queen, Piece::white_pawn, 0u), "e7e8q", Piece::white_queen},
        {Move(d2, d1, Move::promo_knight, Piece::black_pawn, 0u), "d2d1n", Piece::black_knight},
        {Move(g2, h1, Move::promo_bishop, Piece::black_pawn, 0u), "g2h1b", Piece::black_bishop}};
    for (const auto& [move, text, promoted] : promotions) {
        EXPECT_EQ(move.coordinate_text(), text);
        EXPECT_EQ(move.promoted_code(), promoted) << text;
    }
    // Standard castlings print in the king's two-square form unless the stored form is asked for.
    const std::tuple<std::uint32_t, std::uint32_t, const char*, bool> castlings[] = {
        {e1, h1, "e1g1", true}, {e8, a8, "e8c8", false}, {f1, g1, "f1g1", true}};
    for (const auto& [from, to, text, king_side] : castlings) {
        const Move castling(from, to, Move::castling, Piece::white_king, 0u);
        EXPECT_EQ(castling.coordinate_text(), text);
        EXPECT_EQ(castling.coordinate_text(true), Square{from}.name() + Square{to}.name());
        EXPECT_EQ(castling.is_king_side_castling(), king_side) << text;
    }
    EXPECT_EQ(Move(e2, e4, Move::normal_move, Piece::white_pawn, 0u).dump(),
              "from:e2  to:e4  code:normal_move  piece:white pawn  capture:no piece  check:false   "
              "xcode:xnormal_move\n");
}

}  // namespace
