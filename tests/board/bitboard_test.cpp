#include <gtest/gtest.h>

#include <random>

#include "board/bitboard.h"
#include "board/bitboard_set.h"

namespace {

TEST(Bitboard, ScansCountsAndFlipsAgreeWithPlainDefinitions) {
    EXPECT_EQ(lowest_square(0), 64u);
    EXPECT_EQ(lowest_square_by_table(0), 64u);
    std::mt19937_64 random(7);
    for (unsigned s = 0; s < 64; ++s) {
        const Bitboard x = square_table[s] | (random() << s);  // random bits at s and higher
        EXPECT_EQ(lowest_square(x), s);
        EXPECT_EQ(lowest_square_by_table(x), s);
        const Bitboard y = random() & random();
        EXPECT_EQ(popcount_by_table(y), popcount(y));
        EXPECT_EQ(flip_vertical(flip_vertical(y)), y);
        EXPECT_EQ(mirror_horizontal(mirror_horizontal(y)), y);
    }
    Bitboard x = square_table[3] | square_table[63];
    EXPECT_EQ(pop_lowest_square(x), 3u);
    EXPECT_EQ(pop_lowest_square(x), 63u);
    EXPECT_EQ(x, 0u);
    EXPECT_EQ(flip_vertical(rank_1 | square_table[12]), rank_8 | square_table[52]);
    EXPECT_EQ(mirror_horizontal(file_a | square_table[12]), file_h | square_table[11]);
    EXPECT_EQ(BitboardSet{file_b}.mirrored_horizontally(), BitboardSet{file_g});
}

}  // namespace
