#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "board/bitboard.h"
#include "board/bitboard_set.h"

namespace {

TEST(Bitboard, BitScansAndCountsAgreeWithTheBuiltins) {
    EXPECT_EQ(lowest_square(0), 64u);
    EXPECT_EQ(lowest_square_by_table(0), 64u);
    EXPECT_EQ(popcount_by_table(~Bitboard{0}), 64u);
    std::mt19937_64 random(7);
    for (unsigned s = 0; s < 64; ++s) {
        const Bitboard x = square_table[s] | (random() << s);  // random bits at s and higher
        EXPECT_EQ(lowest_square(x), s);
        EXPECT_EQ(lowest_square_by_table(x), s);
        EXPECT_EQ(lowest_square_by_table(square_table[s]), s);
    }
    for (int i = 0; i < 10000; ++i) {
        const Bitboard x = random() & random();
        EXPECT_EQ(popcount_by_table(x), popcount(x));
    }
    Bitboard x = square_table[3] | square_table[40] | square_table[63];
    EXPECT_EQ(pop_lowest_square(x), 3u);
    EXPECT_EQ(pop_lowest_square(x), 40u);
    EXPECT_EQ(pop_lowest_square(x), 63u);
    EXPECT_EQ(x, 0u);
}

TEST(Bitboard, FlipAndMirrorMoveSquaresAcrossTheBoard) {
    EXPECT_EQ(flip_vertical(rank_1 | square_table[12]), rank_8 | square_table[52]);
    EXPECT_EQ(mirror_horizontal(file_a | square_table[12]), file_h | square_table[11]);
    EXPECT_EQ(BitboardSet{file_b}.mirrored_horizontally(), BitboardSet{file_g});
    std::mt19937_64 random(5);
    for (int i = 0; i < 1000; ++i) {
        const Bitboard x = random();
        EXPECT_EQ(flip_vertical(flip_vertical(x)), x);
        EXPECT_EQ(mirror_horizontal(mirror_horizontal(x)), x);
        EXPECT_EQ(popcount(flip_vertical(x)), popcount(x));
    }
}

TEST(BitboardSet, DebugPrintShowsTheWordThenRankEightFirst) {
    const BitboardSet set = square_table[0] | square_table[15] | square_table[63];
    const std::string expected =
        "\n8000000000008001\n00000001\n00000000\n00000000\n00000000\n00000000\n00000000\n00000001\n10000000\n";
    std::ostringstream out;
    set.print(out);
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
