#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/attack_tables.h"
#include "board/square.h"
#include "ray_walk.h"

namespace {

using namespace squares;

const AttackTables& tables() {
    static const AttackTables built;
    return built;
}

Bitboard bits(std::initializer_list<std::uint32_t> list) {
    Bitboard set = 0;
    for (std::uint32_t s : list) set |= square_table[s];
    return set;
}

// Every subset of every mask, with random pieces outside the mask that must not matter.
TEST(MagicMoves, EveryOccupancyOfEveryMaskMatchesARayWalk) {
    std::mt19937_64 random(99);
    const AttackTables& t = tables();
    const MagicMoves& magic = t.magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        for (const bool bishop : {true, false}) {
            const Bitboard mask = bishop ? magic.bishop_mask(s) : magic.rook_mask(s);
            Bitboard subset = 0;
            do {
                const Bitboard occupancy = subset | (random() & ~mask);
                const Bitboard expected = bishop ? ray_walk::bishop(s, subset) : ray_walk::rook(s, subset);
                ASSERT_EQ(bishop ? t.bishop_attacks(s, occupancy) : t.rook_attacks(s, occupancy), expected)
                    << (bishop ? "bishop " : "rook ") << s << ' ' << occupancy;
                ASSERT_EQ(t.queen_attacks(s, occupancy), ray_walk::bishop(s, occupancy) | ray_walk::rook(s, occupancy));
                ASSERT_EQ(t.rook_attacks_bb(square_table[s], occupancy), t.rook_attacks(s, occupancy));
                subset = (subset - mask) & mask;
            } while (subset != 0);
        }
    }
    EXPECT_EQ(t.rook_attacks(a1, bits({a4})), bits({a2, a3, a4}) | (rank_1 & ~square_table[a1]));
    EXPECT_EQ(t.rook_attacks(a1, bits({a8, h1})), t.rook_attacks(a1, 0));
}

TEST(MagicMoves, EmptyOccupancyReadsTheRaysFromIndexZero) {
    const AttackTables& t = tables();
    const MagicMoves& magic = t.magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        EXPECT_EQ(t.rook_rays(s), ray_walk::rook(s, 0));
        EXPECT_EQ(t.bishop_rays(s), ray_walk::bishop(s, 0));
        EXPECT_EQ(magic.rook_sets(s)[magic.rook_index(s)[0]], t.rook_rays(s));
        EXPECT_EQ(magic.bishop_sets(s)[magic.bishop_index(s)[0]], t.bishop_rays(s));
    }
}

TEST(MagicMoves, CompressedTablesHaveTheirKnownSizes) {
    const MagicMoves& magic = tables().magic_moves();
    std::size_t bishop_total = 0, rook_total = 0, bishop_bytes = 0, rook_bytes = 0;
    std::size_t bishop_max = 0, rook_max = 0;
    for (std::uint32_t s = 0; s < 64; ++s) {
        const auto bishop = magic.bishop_sets(s), rook = magic.rook_sets(s);
        // Sorted without repeats, and every index byte points into its list.
        EXPECT_TRUE(std::adjacent_find(bishop.begin(), bishop.end(), std::greater_equal<>()) == bishop.end());
        EXPECT_TRUE(std::adjacent_find(rook.begin(), rook.end(), std::greater_equal<>()) == rook.end());
        for (std::uint8_t i : magic.bishop_index(s)) ASSERT_LT(i, bishop.size());
        for (std::uint8_t i : magic.rook_index(s)) ASSERT_LT(i, rook.size());
        // Only the three tables twice as large as their masks need hold the empty set.
        EXPECT_EQ(bishop.front() == 0, s == d4) << s;
        EXPECT_EQ(rook.front() == 0, s == f6 || s == e8) << s;
        bishop_total += bishop.size();
        rook_total += rook.size();
        bishop_max = std::max(bishop_max, bishop.size());
        rook_max = std::max(rook_max, rook.size());
        bishop_bytes += magic.bishop_index(s).size();
        rook_bytes += magic.rook_index(s).size();
    }
    EXPECT_EQ(bishop_bytes, 5760u);
    EXPECT_EQ(rook_bytes, 105472u);
    EXPECT_EQ(bishop_max, 109u);
    EXPECT_EQ(rook_max, 144u);
    EXPECT_EQ(bishop_total, 1429u);
    EXPECT_EQ(rook_total, 4902u);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(magic.selftest_ok());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(LineTables, BetweenAndSegmentOnEveryPair) {
    const AttackTables& t = tables();
    EXPECT_EQ(t.between(a1, h8), bits({b2, c3, d4, e5, f6, g7}));
    EXPECT_EQ(t.between(h1, a2), 0u);  // no wrap across the board's edge
    EXPECT_EQ(t.between_bb(square_table[c1], square_table[h6]), bits({d2, e3, f4, g5}));
    EXPECT_EQ(t.segment(e1, e8), file_e);
    for (std::uint32_t a = 0; a < 64; ++a) {
        EXPECT_EQ(t.queen_rays(a), t.rook_rays(a) | t.bishop_rays(a));
        for (std::uint32_t b = 0; b < 64; ++b) {
            EXPECT_EQ(t.segment(a, b), t.between(a, b) | square_table[a] | square_table[b]);
            // On a common line, the squares between are what both sliders see of each other.
            const Bitboard ends = square_table[a] | square_table[b];
            if (a != b && (t.rook_rays(a) & square_table[b]))
                EXPECT_EQ(t.between(a, b), t.rook_attacks(a, ends) & t.rook_attacks(b, ends)) << a << ' ' << b;
            else if (a != b && (t.bishop_rays(a) & square_table[b]))
                EXPECT_EQ(t.between(a, b), t.bishop_attacks(a, ends) & t.bishop_attacks(b, ends)) << a << ' ' << b;
            else
                EXPECT_EQ(t.between(a, b), 0u) << a << ' ' << b;
        }
    }
}

TEST(AttackTables, KnightAndKingTables) {
    const AttackTables& t = tables();
    EXPECT_EQ(t.knight_attacks(a1), bits({b3, c2}));
    EXPECT_EQ(t.knight_attacks(h8), bits({g6, f7}));
    EXPECT_EQ(t.knight_attacks(g1), bits({e2, f3, h3}));
    EXPECT_EQ(t.king_attacks(h5), bits({g4, h4, g5, g6, h6}));
    EXPECT_EQ(t.king_attacks_bb(square_table[e1]), bits({d1, f1, d2, e2, f2}));
    EXPECT_EQ(t.knight_attacks_bb(square_table[b8]), bits({a6, c6, d7}));
    std::uint32_t knight_total = 0, king_total = 0;
    for (std::uint32_t s = 0; s < 64; ++s) {
        knight_total += popcount(t.knight_attacks(s));
        king_total += popcount(t.king_attacks(s));
        for (std::uint32_t to = 0; to < 64; ++to) {  // both tables are symmetric
            EXPECT_EQ(bool(t.knight_attacks(s) & square_table[to]), bool(t.knight_attacks(to) & square_table[s]));
            EXPECT_EQ(bool(t.king_attacks(s) & square_table[to]), bool(t.king_attacks(to) & square_table[s]));
        }
    }
    EXPECT_EQ(knight_total, 336u);
    EXPECT_EQ(king_total, 420u);
}

}  // namespace
