// Plain ray walking, written independently of the board library, to check its tables against.
#pragma once

#include <cstdint>

#include "board/bitboard.h"

namespace ray_walk {

// Squares reached by shifting step by step through the empty squares of `occupancy`,
// the first occupied square included. `guard` removes squares that wrapped around a file.
inline Bitboard slide(Bitboard from, Bitboard occupancy, int shift, Bitboard guard) {
    Bitboard reached = 0;
    for (Bitboard x = from;;) {
        x = shift > 0 ? (x << shift) & guard : (x >> -shift) & guard;
        if (!x) return reached;
        reached |= x;
        if (x & occupancy) return reached;
    }
}

inline Bitboard bishop(std::uint32_t square, Bitboard occupancy) {
    const Bitboard from = Bitboard{1} << square;
    return slide(from, occupancy, 9, not_file_a) | slide(from, occupancy, 7, not_file_h) |
           slide(from, occupancy, -7, not_file_a) | slide(from, occupancy, -9, not_file_h);
}

inline Bitboard rook(std::uint32_t square, Bitboard occupancy) {
    const Bitboard from = Bitboard{1} << square;
    const Bitboard all = ~Bitboard{0};
    return slide(from, occupancy, 8, all) | slide(from, occupancy, -8, all) |
           slide(from, occupancy, 1, not_file_a) | slide(from, occupancy, -1, not_file_h);
}

}  // namespace ray_walk
