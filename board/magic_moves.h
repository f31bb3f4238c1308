// MagicMoves: bishop and rook attack sets by magic multiplication, kept in compressed form.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "board/bitboard.h"

#if defined(__BMI2__)
#include <immintrin.h>
#endif

namespace vorline {

struct MagicPair {
    std::uint64_t multiplier;
    std::uint64_t shift;  // 64 minus the number of index bits
};

// For each square: a mask of the squares whose occupancy matters, a multiplier and a shift
// that turn the masked occupancy into a table index, then one byte per index naming the
// attack set among the square's distinct sets. Built once; read-only afterwards.
class MagicMoves {
public:
    // Builds every table (once per process); throws TableError ("MagicMoves error(1) in
    // constructor" for bishops, "(2)" for rooks) if a square's table cannot be compressed.
    MagicMoves();
    MagicMoves(const MagicMoves&) = delete;
    MagicMoves& operator=(const MagicMoves&) = delete;

    Bitboard bishop_attacks(std::uint32_t square, Bitboard occupancy) const {
        return lookup(bishop_[square], occupancy);
    }
    Bitboard rook_attacks(std::uint32_t square, Bitboard occupancy) const {
        return lookup(rook_[square], occupancy);
    }
    Bitboard queen_attacks(std::uint32_t square, Bitboard occupancy) const {
        return bishop_attacks(square, occupancy) | rook_attacks(square, occupancy);
    }

    Bitboard bishop_mask(std::uint32_t square) const { return bishop_[square].mask; }
    Bitboard rook_mask(std::uint32_t square) const { return rook_[square].mask; }
    MagicPair bishop_magic(std::uint32_t square) const;
    MagicPair rook_magic(std::uint32_t square) const;
    // Entry i names the position in *_sets(square) of the table entry at index i.
    std::span<const std::uint8_t> bishop_index(std::uint32_t square) const;
    std::span<const std::uint8_t> rook_index(std::uint32_t square) const;
    // The distinct attack sets of the square's table, ascending (empty set first when
    // some table entries are reached by no occupancy).
    std::span<const Bitboard> bishop_sets(std::uint32_t square) const;
    std::span<const Bitboard> rook_sets(std::uint32_t square) const;

    // Rebuilds the full tables by ray walking and checks the compressed form against them;
    // reports the first fault on standard output and returns false.
    bool selftest_ok() const;

    // The stored multiplier and shift of every square, a1 to h8.
    static const std::array<MagicPair, 64> bishop_constants;
    static const std::array<MagicPair, 64> rook_constants;

private:
    struct Slider {
        Bitboard mask;
        Bitboard multiplier;
        const std::uint8_t* index;
        const std::uint8_t* pext_index;  // filled in BMI2 builds only
        const Bitboard* sets;
        std::uint32_t shift;
        std::uint32_t set_count;
    };

    // With BMI2 the masked occupancy's bits, gathered by pext, index a second table of the
    // same set numbers, which saves the multiplication and shift.
    static Bitboard lookup(const Slider& slider, Bitboard occupancy) {
#if defined(__BMI2__)
        return slider.sets[slider.pext_index[_pext_u64(occupancy, slider.mask)]];
#else
        return slider
            .sets[slider.index[((occupancy & slider.mask) * slider.multiplier) >> slider.shift]];
#endif
    }

    // The index bytes and distinct sets depend on nothing but the constants, so they are
    // built once on first use and shared read-only by every MagicMoves.
    struct Compressed;
    static const Compressed& compressed();
    static void build(bool bishop, std::array<Slider, 64>& sliders,
                      std::vector<std::uint8_t>& index, std::vector<std::uint8_t>& pext_index,
                      std::vector<Bitboard>& sets);

    std::array<Slider, 64> bishop_{};
    std::array<Slider, 64> rook_{};
};

}  // namespace vorline
