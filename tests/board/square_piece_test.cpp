#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "board/piece.h"
#include "board/square.h"

namespace {

std::string logic_error_text(auto&& call) {
    try {
        call();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "no exception";
}

TEST(Square, ReadsAndPrintsTheCornerSquares) {
    for (const auto& [text, number] : {std::pair{"a1", 0u}, {"h1", 7u}, {"a8", 56u}, {"h8", 63u}, {"e4", 28u}}) {
        const Square square{std::string(text)};
        EXPECT_EQ(square.value(), number) << text;
        EXPECT_EQ(square.name(), text);
    }
}

TEST(Square, RejectsBadTextsWithTheirOwnMessages) {
    EXPECT_EQ(logic_error_text([] { Square{"a9"}; }), "Square::Square(string)  out of range");
    EXPECT_EQ(logic_error_text([] { Square{"h0"}; }), "Square::Square(string)  out of range");
    EXPECT_EQ(logic_error_text([] { Square{"A1"}; }), "Square::Square(string)  out of range");
    EXPECT_EQ(logic_error_text([] { Square{"e"}; }), "Square::Square(string)  size() error");
    EXPECT_EQ(logic_error_text([] { Square{"e10"}; }), "Square::Square(string)  size() error");
    EXPECT_EQ(logic_error_text([] { Square{""}; }), "Square::Square(string)  size() error");
}

TEST(Square, OnlyTheCombinedIndexIsRangeChecked) {
    const Square square{"i1"};
    EXPECT_EQ(square.value(), 8u);
    EXPECT_EQ(square.name(), "a2");
}

TEST(Square, NoSquareIsTheDefaultAndHasNoBits) {
    const Square none;
    EXPECT_EQ(none.value(), no_square);
    EXPECT_TRUE(none.is_none());
    EXPECT_EQ(none.name(), "no_square");
    EXPECT_EQ(none.bitboard(), 0u);
    EXPECT_EQ(logic_error_text([] { Square{65}.name(); }), "Square::name()const msquare=65");
}

TEST(Square, FlipAndMirror) {
    EXPECT_EQ(Square{squares::e2}.flipped(), Square{squares::e7});
    EXPECT_EQ(Square{squares::a1}.mirrored(), Square{squares::h1});
    EXPECT_EQ(Square{squares::c6}.mirrored(), Square{squares::f6});
    for (std::uint32_t s = 0; s < 64; ++s) {
        EXPECT_EQ(Square{s}.flipped().flipped(), Square{s});
        EXPECT_EQ(Square{s}.mirrored().mirrored(), Square{s});
    }
}

TEST(Square, ArithmeticAndOrder) {
    Square square{squares::e4};
    EXPECT_EQ(square - Square{squares::e5}, -8);  // a signed difference
    square += 8;
    EXPECT_EQ(square++, Square{squares::e5});
    EXPECT_EQ(square, Square{squares::f5});
    EXPECT_LT(Square{squares::h8}, Square{});  // no_square sorts after every square
}

TEST(Piece, ValuesNamesAndTests) {
    EXPECT_EQ(Piece{Piece::white_pawn}.value(), 100);
    EXPECT_EQ(Piece{Piece::black_pawn}.value(), -100);
    EXPECT_EQ(Piece{Piece::black_king}.value(), -4000);
    EXPECT_EQ(Piece{Piece::white_bishop}.value(), 300);
    EXPECT_EQ(Piece{}.value(), 0);
    EXPECT_EQ(Piece{Piece::black_rook}.abs_value(), 500);
    EXPECT_EQ(Piece{8}.abs_value(), 0);  // only the kind bits count
    EXPECT_EQ(Piece{}.name(), "no piece");
    EXPECT_EQ(Piece{Piece::black_queen}.name(), "black queen");
    EXPECT_EQ(Piece{Piece::white_knight}.name(), "white knight");

    Piece piece;
    piece.set_black_knight();
    EXPECT_TRUE(piece.is_black() && piece.is_knight() && piece.is_black_knight());
    EXPECT_FALSE(piece.is_white_knight() || piece.is_bishop());
    piece.clear();
    EXPECT_TRUE(piece.is_empty());
    EXPECT_FALSE(piece.is_present());
}

TEST(Piece, TheEmptyCodeIsWhiteAndNoKind) {
    const Piece empty;
    EXPECT_TRUE(empty.is_white());
    EXPECT_FALSE(empty.is_black());
    EXPECT_FALSE(empty.is_pawn() || empty.is_knight() || empty.is_bishop() || empty.is_rook() ||
                 empty.is_queen() || empty.is_king());
}

TEST(Piece, CodesThatAreNoPiecesPrintAndThrow) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(logic_error_text([] { Piece{8}.value(); }), "Piece::value out of range");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Piece: 8\n");

    testing::internal::CaptureStdout();
    EXPECT_EQ(logic_error_text([] { Piece{15}.abs_value(); }), "Piece::abs_value out of range:");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Piece: 15\n");

    for (std::uint32_t code : {7u, 8u, 15u, 16u})
        EXPECT_EQ(logic_error_text([code] { Piece{code}.name(); }), "Piece::unknown piece") << code;
}

}  // namespace
