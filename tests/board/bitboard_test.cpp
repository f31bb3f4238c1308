#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "board/bitboard.h"
#include "board/bitboard_set.h"

namespace {

TEST(Bitboard, SquareTableHasOneBitPerSquareAndAnEmptyNoSquare) {
    for (unsigned s = 0; s < 64; ++s) EXPECT_EQ(square_table[s], Bitboard{1} << s);
    EXPECT_EQ(square_table[no_square], 0u);
}

TEST(Bitboard, LowestSquareAgreesWithTheMultiplyAndShiftTable) {
    EXPECT_EQ(lowest_square(0), 64u);
    EXPECT_EQ(lowest_square_by_table(0), 64u);
    std::mt19937_64 random(7);
    for (unsigned s = 0; s < 64; ++s) {
        const Bitboard above = random() << s;  // random bits at s and higher
        const Bitboard x = square_table[s] | above;
        EXPECT_EQ(lowest_square(x), s);
        EXPECT_EQ(lowest_square_by_table(x), s);
        EXPECT_EQ(lowest_square_by_table(square_table[s]), s);
    }
}

TEST(Bitboard, PopLowestWalksTheSquaresInAscendingOrder) {
    Bitboard x = square_table[3] | square_table[40] | square_table[63];
    EXPECT_EQ(pop_lowest_square(x), 3u);
    EXPECT_EQ(pop_lowest_square(x), 40u);
    EXPECT_EQ(without_lowest(x), 0u);
    EXPECT_EQ(pop_lowest_square(x), 63u);
    EXPECT_EQ(x, 0u);
}

TEST(Bitboard, PopulationCountTableAgreesWithTheBuiltin) {
    EXPECT_EQ(popcount_by_table(0), 0u);
    EXPECT_EQ(popcount_by_table(~Bitboard{0}), 64u);
    EXPECT_EQ(popcount16_table[0xFFFF], 16u);
    std::mt19937_64 random(11);
    for (int i = 0; i < 10000; ++i) {
        const Bitboard x = random() & random();
        EXPECT_EQ(popcount_by_table(x), popcount(x));
    }
}

TEST(Bitboard, FlipAndMirrorMoveSquaresAcrossTheBoard) {
    EXPECT_EQ(flip_vertical(rank_1 | square_table[12]), rank_8 | square_table[52]);
    EXPECT_EQ(mirror_horizontal(file_a | square_table[12]), file_h | square_table[11]);
    std::mt19937_64 random(5);
    for (int i = 0; i < 1000; ++i) {
        const Bitboard x = random();
        EXPECT_EQ(flip_vertical(flip_vertical(x)), x);
        EXPECT_EQ(mirror_horizontal(mirror_horizontal(x)), x);
        EXPECT_EQ(popcount(flip_vertical(x)), popcount(x));
    }
}

TEST(BitboardSet, EditsAndQueries) {
    BitboardSet set;
    set.set(0);
    set.set(63);
    EXPECT_TRUE(set.contains(63));
    EXPECT_EQ(set.popcount(), 2u);
    EXPECT_EQ(set.lowest_square(), 0u);
    set.remove_lowest();
    EXPECT_EQ(set.lowest_square(), 63u);
    set.clear(63);
    EXPECT_TRUE(set.empty());
    EXPECT_EQ(set.lowest_square(), 64u);
    EXPECT_EQ(BitboardSet{rank_1}.flipped_vertically(), BitboardSet{rank_8});
    EXPECT_EQ(BitboardSet{file_b}.mirrored_horizontally(), BitboardSet{file_g});
    EXPECT_EQ((BitboardSet{file_a} & BitboardSet{rank_1}).bits(), 1u);
    EXPECT_LT(BitboardSet{1}, BitboardSet{2});
}

TEST(BitboardSet, DebugPrintShowsRankEightFirst) {
    const BitboardSet set = square_table[0] | square_table[15] | square_table[63];
    const std::string expected =
        "\n8000000000008001\n"
        "00000001\n"
        "00000000\n"
        "00000000\n"
        "00000000\n"
        "00000000\n"
        "00000000\n"
        "00000001\n"
        "10000000\n";
    EXPECT_EQ(set.debug_text(), expected);
    std::ostringstream out;
    set.print(out);
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
