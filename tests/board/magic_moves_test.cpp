// Slider attacks and lines against a plain ray walk written independently of the tables.
#include <gtest/gtest.h>

#include <random>

#include "board/attack_tables.h"

namespace {

// Squares reached from `square` step by step in each direction, the first occupied
// square included; `guard` removes squares that wrapped around a file.
Bitboard walk(std::uint32_t square, Bitboard occupancy, bool bishop) {
    const std::pair<int, Bitboard> steps[2][4] = {
        {{8, ~Bitboard{0}}, {-8, ~Bitboard{0}}, {1, not_file_a}, {-1, not_file_h}},
        {{9, not_file_a}, {7, not_file_h}, {-7, not_file_a}, {-9, not_file_h}}};
    Bitboard reached = 0;
    for (const auto& [shift, guard] : steps[bishop]) {
        for (Bitboard x = Bitboard{1} << square;
             x && !(x & occupancy & ~(Bitboard{1} << square));) {
            x = (shift > 0 ? x << shift : x >> -shift) & guard;
            reached |= x;
        }
    }
    return reached;
}

// Every subset of every mask, with random pieces outside the mask that must not matter.
TEST(MagicMoves, EveryOccupancyOfEveryMaskMatchesARayWalk) {
    std::mt19937_64 random(99);
    static const AttackTables t;
    const MagicMoves& magic = t.magic_moves();
    for (std::uint32_t s = 0; s < 64; ++s) {
        for (const bool bishop : {true, false}) {
            const Bitboard mask = bishop ? magic.bishop_mask(s) : magic.rook_mask(s);
            Bitboard subset = 0;
            do {
                const Bitboard occupancy = subset | (random() & ~mask);
                ASSERT_EQ(bishop ? t.bishop_attacks(s, occupancy) : t.rook_attacks(s, occupancy),
                          walk(s, subset, bishop))
                    << (bishop ? "bishop " : "rook ") << s << ' ' << occupancy;
                subset = (subset - mask) & mask;
            } while (subset != 0);
        }
        // On a common line, the squares between are what both sliders see of each other.
        for (std::uint32_t b = 0; b < 64; ++b) {
            const Bitboard ends = square_table[s] | square_table[b];
            Bitboard between = 0;
            for (const bool bishop : {true, false})
                if (s != b && (walk(s, 0, bishop) & square_table[b]))
                    between = walk(s, ends, bishop) & walk(b, ends, bishop);
            ASSERT_EQ(t.between(s, b), between) << s << ' ' << b;
            ASSERT_EQ(t.segment(s, b), between | ends);
        }
    }
}

}  // namespace
