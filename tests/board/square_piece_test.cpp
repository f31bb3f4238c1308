#include <gtest/gtest.h>

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

TEST(Square, ReadsAndPrintsSquareTexts) {
    for (const auto& [text, number] : {std::pair{"a1", 0u}, {"h1", 7u}, {"a8", 56u}, {"h8", 63u}, {"e4", 28u}}) {
        const Square square{std::string(text)};
        EXPECT_EQ(square.value(), number) << text;
        EXPECT_EQ(square.name(), text);
    }
    // Only the combined index is range checked: "i1" is a2.
    EXPECT_EQ(Square{"i1"}.name(), "a2");
    EXPECT_EQ(Square{}.name(), "no_square");
    EXPECT_EQ(Square{}.bitboard(), 0u);
}

TEST(Square, BadTextsThrowTheirOwnMessages) {
    const std::pair<const char*, const char*> rows[] = {
        {"a9", "out of range"}, {"h0", "out of range"}, {"A1", "out of range"},
        {"e", "size() error"},  {"e10", "size() error"}, {"", "size() error"}};
    for (const auto& [text, message] : rows)
        EXPECT_EQ(logic_error_text([&] { Square{std::string(text)}; }), std::string("Square::Square(string)  ") + message)
            << text;
    EXPECT_EQ(logic_error_text([] { Square{65}.name(); }), "Square::name()const msquare=65");
}

TEST(Square, FlipMirrorAndOrder) {
    EXPECT_EQ(Square{squares::e2}.flipped(), Square{squares::e7});
    EXPECT_EQ(Square{squares::a1}.mirrored(), Square{squares::h1});
    EXPECT_EQ(Square{squares::c6}.mirrored(), Square{squares::f6});
    for (std::uint32_t s = 0; s < 64; ++s) {
        EXPECT_EQ(Square{s}.flipped().flipped(), Square{s});
        EXPECT_EQ(Square{s}.mirrored().mirrored(), Square{s});
    }
    EXPECT_EQ(Square{squares::e4} - Square{squares::e5}, -8);  // a signed difference
    EXPECT_LT(Square{squares::h8}, Square{});  // no_square sorts after every square
}

TEST(Piece, ValuesAndNames) {
    const std::tuple<std::uint32_t, int, const char*> rows[] = {
        {0, 0, "no piece"},          {1, 100, "white pawn"},      {3, 300, "white bishop"},
        {6, 4000, "white king"},     {9, -100, "black pawn"},     {12, -500, "black rook"},
        {13, -900, "black queen"},   {14, -4000, "black king"}};
    for (const auto& [code, value, name] : rows) {
        EXPECT_EQ(Piece{code}.value(), value) << code;
        EXPECT_EQ(Piece{code}.abs_value(), value < 0 ? -value : value) << code;
        EXPECT_EQ(Piece{code}.name(), name);
    }
    EXPECT_EQ(Piece{8}.abs_value(), 0);  // only the kind bits count
    // The empty code tests as white and as no kind.
    const Piece empty;
    EXPECT_TRUE(empty.is_white() && empty.is_empty());
    EXPECT_FALSE(empty.is_black() || empty.is_pawn() || empty.is_knight() || empty.is_bishop() ||
                 empty.is_rook() || empty.is_queen() || empty.is_king());
    EXPECT_TRUE(Piece{Piece::black_knight}.is_black() && Piece{Piece::black_knight}.is_knight());
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
