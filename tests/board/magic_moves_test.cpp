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

// Occupancies of every density: sparse ones exercise long rays, dense ones short ones.
Bitboard random_occupancy(std::mt19937_64& random) {
    switch (random() % 4) {
        case 0: return random() & random() & random();
        case 1: return random() & random();
        case 2: return random();
        default: return random() | random();
    }
}

TEST(MagicMoves, AttackSetsEqualARayWalkForRandomOccupancies) {
    std::mt19937_64 random(2024);
    const AttackTables& t = tables();
    for (std::uint32_t s = 0; s < 64; ++s)
        for (int i = 0; i < 3000; ++i) {
            const Bitboard occupancy = random_occupancy(random);
            ASSERT_EQ(t.bishop_attacks(s, occupancy), ray_walk::bishop(s, occupancy)) << s << ' ' << occupancy;
            ASSERT_EQ(t.rook_attacks(s, occupancy), ray_walk::rook(s, occupancy)) << s << ' ' << occupancy;
            ASSERT_EQ(t.queen_attacks(s, occupancy), ray_walk::bishop(s, occupancy) | ray_walk::rook(s, occupancy));
            ASSERT_EQ(t.rook_attacks_bb(square_table[s], occupancy), t.rook_attacks(s, occupancy));
        }
}

TEST(MagicMoves, EveryOccupancyOfEveryMaskMatchesARayWalk) {
    std::mt19937_64 random(99);
    const AttackTables& t = tables();
    const MagicMoves& magic = t.magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        for (const bool bishop : {true, false}) {
            const Bitboard mask = bishop ? magic.bishop_mask(s) : magic.rook_mask(s);
            Bitboard subset = 0;
            do {  // each subset of the mask, with random pieces outside it that must not matter
                const Bitboard occupancy = subset | (random() & ~mask);
                const Bitboard expected = bishop ? ray_walk::bishop(s, subset) : ray_walk::rook(s, subset);
                ASSERT_EQ(bishop ? t.bishop_attacks(s, occupancy) : t.rook_attacks(s, occupancy), expected)
                    << (bishop ? "bishop " : "rook ") << s << ' ' << occupancy;
                subset = (subset - mask) & mask;
            } while (subset != 0);
        }
    }
}

TEST(MagicMoves, EmptyBoardAttacksAreTheRays) {
    const AttackTables& t = tables();
    const MagicMoves& magic = t.magic_moves();
    EXPECT_EQ(t.rook_attacks(a1, 0), (rank_1 | file_a) & ~square_table[a1]);
    EXPECT_EQ(popcount(t.rook_attacks(a1, 0)), 14u);
    EXPECT_EQ(popcount(t.bishop_attacks(d4, 0)), 13u);
    for (std::uint32_t s = 0; s < 64; ++s) {
        EXPECT_EQ(t.rook_attacks(s, 0), t.rook_rays(s));
        EXPECT_EQ(t.bishop_attacks(s, 0), t.bishop_rays(s));
        // The empty occupancy lands on index 0 of every table.
        EXPECT_EQ(magic.rook_sets(s)[magic.rook_index(s)[0]], t.rook_rays(s));
        EXPECT_EQ(magic.bishop_sets(s)[magic.bishop_index(s)[0]], t.bishop_rays(s));
    }
}

TEST(MagicMoves, BlockersAreAttackedAndSquaresOutsideTheMaskChangeNothing) {
    const AttackTables& t = tables();
    const Bitboard blocked = t.rook_attacks(a1, bits({a4}));
    EXPECT_EQ(blocked, bits({a2, a3, a4}) | (rank_1 & ~square_table[a1]));
    EXPECT_EQ(t.rook_attacks(a1, bits({a8, h1})), t.rook_attacks(a1, 0));
    EXPECT_EQ(t.bishop_attacks(c1, bits({e3, h6, a3})), bits({b2, a3, d2, e3}));
}

TEST(MagicMoves, KeepsTheStoredMultipliersAndShifts) {
    const MagicMoves& magic = tables().magic_moves();
    struct Stored {
        std::uint32_t square;
        MagicPair bishop, rook;
    };
    const Stored stored[] = {
        {a1, {0x014501040C040041, 58}, {0x108001228011C002, 52}},
        {b1, {0x000921040C004602, 59}, {0xA04010004004E000, 53}},
        {d4, {0x0C01001214004202, 54}, {0x092100210010010C, 54}},
        {e4, {0x0001040006002104, 55}, {0x0248008080080C00, 54}},
        {f6, {0x0040020055000610, 57}, {0x00001004080A0005, 53}},
        {e8, {0x0840084010420200, 59}, {0x0423020902200C06, 52}},
        {h8, {0x0C40020821002482, 58}, {0x82010000820C2145, 52}},
    };
    for (const Stored& s : stored) {
        EXPECT_EQ(magic.bishop_magic(s.square).multiplier, s.bishop.multiplier) << s.square;
        EXPECT_EQ(magic.bishop_magic(s.square).shift, s.bishop.shift) << s.square;
        EXPECT_EQ(magic.rook_magic(s.square).multiplier, s.rook.multiplier) << s.square;
        EXPECT_EQ(magic.rook_magic(s.square).shift, s.rook.shift) << s.square;
    }
}

TEST(MagicMoves, ShiftsFollowTheBoardGeometry) {
    const MagicMoves& magic = tables().magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        const std::uint32_t file = s & 7, rank = s >> 3;
        const bool file_edge = file == 0 || file == 7, rank_edge = rank == 0 || rank == 7;
        const bool ring = file >= 2 && file <= 5 && rank >= 2 && rank <= 5;
        std::uint64_t bishop = file_edge && rank_edge ? 58 : ring ? 57 : 59;
        if (s == e4 || s == d5 || s == e5) bishop = 55;
        if (s == d4) bishop = 54;
        std::uint64_t rook = file_edge && rank_edge ? 52 : file_edge || rank_edge ? 53 : 54;
        if (s == f6) rook = 53;
        if (s == e8) rook = 52;
        EXPECT_EQ(magic.bishop_magic(s).shift, bishop) << s;
        EXPECT_EQ(magic.rook_magic(s).shift, rook) << s;
        EXPECT_EQ(magic.bishop_index(s).size(), std::size_t{1} << (64 - bishop));
        EXPECT_EQ(magic.rook_index(s).size(), std::size_t{1} << (64 - rook));
    }
}

TEST(MagicMoves, DistinctSetListsAreSortedAndSized) {
    const MagicMoves& magic = tables().magic_moves();
    std::size_t bishop_total = 0, rook_total = 0, bishop_bytes = 0, rook_bytes = 0;
    std::size_t bishop_max = 0, rook_max = 0;
    for (std::uint32_t s = 0; s < 64; ++s) {
        const auto bishop = magic.bishop_sets(s), rook = magic.rook_sets(s);
        EXPECT_TRUE(std::adjacent_find(bishop.begin(), bishop.end(), std::greater_equal<>()) == bishop.end());
        EXPECT_TRUE(std::adjacent_find(rook.begin(), rook.end(), std::greater_equal<>()) == rook.end());
        for (std::uint8_t i : magic.bishop_index(s)) ASSERT_LT(i, bishop.size());
        for (std::uint8_t i : magic.rook_index(s)) ASSERT_LT(i, rook.size());
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
    // Every table entry is reached on all squares but the three whose tables are twice as
    // large as their masks need, so the totals are the distinct attack sets plus three.
    EXPECT_EQ(bishop_total, 1429u);
    EXPECT_EQ(rook_total, 4902u);
    EXPECT_EQ(magic.bishop_sets(d4).size(), 109u);
    for (std::uint32_t s : {d4, e4, d5, e5}) EXPECT_EQ(magic.rook_sets(s).size(), 144u);
}

TEST(MagicMoves, OnlyOversizedTablesHoldTheEmptySet) {
    const MagicMoves& magic = tables().magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        EXPECT_EQ(magic.bishop_sets(s).front() == 0, s == d4) << s;
        EXPECT_EQ(magic.rook_sets(s).front() == 0, s == f6 || s == e8) << s;
    }
}

TEST(MagicMoves, SelftestPassesSilently) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(tables().magic_moves().selftest_ok());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(LineTables, BetweenAndSegment) {
    const AttackTables& t = tables();
    EXPECT_EQ(t.between(a1, h8), bits({b2, c3, d4, e5, f6, g7}));
    EXPECT_EQ(t.between(h8, a1), t.between(a1, h8));
    EXPECT_EQ(t.between(b1, a3), 0u);
    EXPECT_EQ(t.between(e4, e4), 0u);
    EXPECT_EQ(t.between(e4, e5), 0u);
    EXPECT_EQ(t.between(a8, h1), bits({b7, c6, d5, e4, f3, g2}));
    EXPECT_EQ(t.between(a4, h4), bits({b4, c4, d4, e4, f4, g4}));
    EXPECT_EQ(t.between(h1, a2), 0u);  // no wrap across the board's edge
    EXPECT_EQ(t.segment(a1, b3), bits({a1, b3}));
    EXPECT_EQ(t.segment(e4, e4), bits({e4}));
    EXPECT_EQ(t.segment(e1, e8), file_e);
    EXPECT_EQ(t.between_bb(square_table[c1], square_table[h6]), bits({d2, e3, f4, g5}));
}

TEST(LineTables, BetweenAgreesWithRaysOnEveryPair) {
    const AttackTables& t = tables();
    for (std::uint32_t a = 0; a < 64; ++a) {
        EXPECT_EQ(t.queen_rays(a), t.rook_rays(a) | t.bishop_rays(a));
        EXPECT_EQ(t.rook_rays(a), ray_walk::rook(a, 0));
        EXPECT_EQ(t.bishop_rays(a), ray_walk::bishop(a, 0));
        for (std::uint32_t b = 0; b < 64; ++b) {
            EXPECT_EQ(t.between(a, b), t.between(b, a));
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
    EXPECT_EQ(t.knight_attacks(e4), bits({d2, f2, c3, g3, c5, g5, d6, f6}));
    EXPECT_EQ(t.knight_attacks(g1), bits({e2, f3, h3}));
    EXPECT_EQ(t.king_attacks(a1), bits({a2, b1, b2}));
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
