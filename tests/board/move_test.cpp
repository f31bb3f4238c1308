// Moves: equality ignores the ordering label but not the check bit; castling texts.
#include "board/move.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace squares;

TEST(Move, EqualityAndCoordinateTexts) {
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, Piece::no_piece);
    Move labelled = e2e4;
    labelled.set_xcode(Move::good_capture);
    EXPECT_EQ(labelled, e2e4);
    labelled.set_check(true);
    EXPECT_NE(labelled, e2e4);
    EXPECT_EQ(Move().coordinate_text(), "0000");
    // Standard castlings print in the king's two-square form unless the stored form is asked for.
    const std::tuple<std::uint32_t, std::uint32_t, const char*, bool> castlings[] = {
        {e1, h1, "e1g1", true}, {e8, a8, "e8c8", false}, {f1, g1, "f1g1", true}};
    for (const auto& [from, to, text, king_side] : castlings) {
        const Move castling(from, to, Move::castling, Piece::white_king, 0u);
        EXPECT_EQ(castling.coordinate_text(), text);
        EXPECT_EQ(castling.coordinate_text(true), Square{from}.name() + Square{to}.name());
        EXPECT_EQ(castling.is_king_side_castling(), king_side) << text;
    }
}

}  // namespace
