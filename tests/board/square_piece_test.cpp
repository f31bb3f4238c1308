#include <gtest/gtest.h>

#include <string>

#include "board/board_errors.h"
#include "board/piece.h"
#include "board/square.h"

namespace {

std::string error_text(auto&& call) {
    try {
        call();
    } catch (const BoardError& e) {
        return e.what();
    }
    return "no exception";
}

TEST(Square, TextsFlipsAndErrors) {
    for (const auto& [text, number] : {std::pair{"a1", 0u}, {"h1", 7u}, {"a8", 56u}, {"e4", 28u}}) {
        EXPECT_EQ(Square{std::string(text)}.value(), number) << text;
        EXPECT_EQ(Square{number}.name(), text);
    }
    EXPECT_EQ(Square{"i1"}.name(), "a2");  // only the combined index is range checked
    EXPECT_EQ(Square{}.name(), "no_square");
    for (const auto& [text, message] : {std::pair{"a9", "out of range"},
                                        {"A1", "out of range"},
                                        {"e10", "size() error"},
                                        {"", "size() error"}})
        EXPECT_EQ(error_text([&] { Square{std::string(text)}; }),
                  std::string("Square::Square(string)  ") + message);
    EXPECT_EQ(Square{squares::e2}.flipped(), Square{squares::e7});
    EXPECT_EQ(Square{squares::c6}.mirrored(), Square{squares::f6});
    EXPECT_EQ(Square{squares::e4} - Square{squares::e5}, -8);
    EXPECT_LT(Square{squares::h8}, Square{});  // no_square sorts after every square
}

TEST(Piece, ValuesNamesAndCodesThatAreNoPieces) {
    const std::tuple<std::uint32_t, int, const char*> rows[] = {{0, 0, "no piece"},
                                                                {1, 100, "white pawn"},
                                                                {6, 4000, "white king"},
                                                                {12, -500, "black rook"}};
    for (const auto& [code, value, name] : rows) {
        EXPECT_EQ(Piece{code}.value(), value) << code;
        EXPECT_EQ(Piece{code}.abs_value(), value < 0 ? -value : value) << code;
        EXPECT_EQ(Piece{code}.name(), name);
    }
    const Piece empty;  // the empty code tests as white and as no kind
    EXPECT_TRUE(empty.is_white() && empty.is_empty() && !empty.is_pawn() && !empty.is_king());
    testing::internal::CaptureStdout();
    EXPECT_EQ(error_text([] { Piece{8}.value(); }), "Piece::value out of range");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Piece: 8\n");
    EXPECT_EQ(error_text([] { Piece{7}.name(); }), "Piece::unknown piece");
}

}  // namespace
