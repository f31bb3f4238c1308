#include <gtest/gtest.h>

#include <random>

#include "board/attack_tables.h"
#include "board/square.h"
#include "ray_walk.h"

namespace {

using namespace squares;

// Every subset of every mask, with random pieces outside the mask that must not matter.
TEST(MagicMoves, EveryOccupancyOfEveryMaskMatchesARayWalk) {
    std::mt19937_64 random(99);
    static const AttackTables t;
    const MagicMoves& magic = t.magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        EXPECT_EQ(t.queen_rays(s), ray_walk::rook(s, 0) | ray_walk::bishop(s, 0));
        for (const bool bishop : {true, false}) {
            const Bitboard mask = bishop ? magic.bishop_mask(s) : magic.rook_mask(s);
            Bitboard subset = 0;
            do {
                const Bitboard occupancy = subset | (random() & ~mask);
                const Bitboard expected = bishop ? ray_walk::bishop(s, subset) : ray_walk::rook(s, subset);
                ASSERT_EQ(bishop ? t.bishop_attacks(s, occupancy) : t.rook_attacks(s, occupancy), expected)
                    << (bishop ? "bishop " : "rook ") << s << ' ' << occupancy;
                ASSERT_EQ(t.queen_attacks(s, occupancy), ray_walk::bishop(s, occupancy) | ray_walk::rook(s, occupancy));
                subset = (subset - mask) & mask;
            } while (subset != 0);
        }
        // On a common line, the squares between are what both sliders see of each other.
        for (std::uint32_t b = 0; b < 64; ++b) {
            const Bitboard ends = square_table[s] | square_table[b];
            Bitboard between = 0;
            if (s != b && (t.rook_rays(s) & square_table[b])) between = t.rook_attacks(s, ends) & t.rook_attacks(b, ends);
            if (s != b && (t.bishop_rays(s) & square_table[b])) between = t.bishop_attacks(s, ends) & t.bishop_attacks(b, ends);
            ASSERT_EQ(t.between(s, b), between) << s << ' ' << b;
            ASSERT_EQ(t.segment(s, b), between | ends);
        }
    }
    testing::internal::CaptureStdout();
    EXPECT_TRUE(magic.selftest_ok());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
