// LineTables: empty-board rays, squares strictly between two squares, and joining segments.
#pragma once

#include <array>
#include <cstdint>

#include "board/bitboard.h"

namespace vorline {

class LineTables {
public:
    LineTables();

    // The slider's attack set on an empty board (the square itself excluded).
    Bitboard rook_rays(std::uint32_t square) const { return rook_rays_[square]; }
    Bitboard bishop_rays(std::uint32_t square) const { return bishop_rays_[square]; }
    Bitboard queen_rays(std::uint32_t square) const { return queen_rays_[square]; }
    // Squares strictly between a and b on a common rank, file or diagonal; empty otherwise.
    Bitboard between(std::uint32_t a, std::uint32_t b) const { return between_[a][b]; }
    // between(a, b) plus a and b themselves, for every pair.
    Bitboard segment(std::uint32_t a, std::uint32_t b) const { return segment_[a][b]; }

private:
    std::array<Bitboard, 64> rook_rays_{};
    std::array<Bitboard, 64> bishop_rays_{};
    std::array<Bitboard, 64> queen_rays_{};
    std::array<std::array<Bitboard, 64>, 64> between_{};
    std::array<std::array<Bitboard, 64>, 64> segment_{};
};

}  // namespace vorline
