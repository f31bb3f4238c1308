// Bitboard: a 64-bit set of squares (bit n = square n, a1 = 0, h8 = 63) and its shared helpers.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace vorline {

using Bitboard = std::uint64_t;

inline constexpr std::uint32_t no_square = 64;

// Entry s holds square s alone; entry 64 (no_square) is empty, so lookups of a missing
// square give the empty set without a branch.
inline constexpr std::array<Bitboard, 65> square_table = [] {
    std::array<Bitboard, 65> table{};
    for (unsigned s = 0; s < 64; ++s) table[s] = Bitboard{1} << s;
    return table;
}();

inline constexpr Bitboard file_a = 0x0101010101010101ULL;
inline constexpr Bitboard file_b = file_a << 1;
inline constexpr Bitboard file_c = file_a << 2;
inline constexpr Bitboard file_d = file_a << 3;
inline constexpr Bitboard file_e = file_a << 4;
inline constexpr Bitboard file_f = file_a << 5;
inline constexpr Bitboard file_g = file_a << 6;
inline constexpr Bitboard file_h = file_a << 7;
inline constexpr Bitboard rank_1 = 0xFFULL;
inline constexpr Bitboard rank_2 = rank_1 << 8;
inline constexpr Bitboard rank_3 = rank_1 << 16;
inline constexpr Bitboard rank_4 = rank_1 << 24;
inline constexpr Bitboard rank_5 = rank_1 << 32;
inline constexpr Bitboard rank_6 = rank_1 << 40;
inline constexpr Bitboard rank_7 = rank_1 << 48;
inline constexpr Bitboard rank_8 = rank_1 << 56;
inline constexpr Bitboard not_file_a = 0xFEFEFEFEFEFEFEFEULL;
inline constexpr Bitboard not_file_h = 0x7F7F7F7F7F7F7F7FULL;
inline constexpr Bitboard not_files_ab = 0xFCFCFCFCFCFCFCFCULL;
inline constexpr Bitboard not_files_gh = 0x3F3F3F3F3F3F3F3FULL;

inline constexpr Bitboard file_mask(unsigned file) { return file_a << file; }
inline constexpr Bitboard rank_mask(unsigned rank) { return rank_1 << (8 * rank); }

// Multiply-and-shift scan: the lowest set bit times this constant has a distinct top
// seven bits for each of the 64 squares; index 0 (the empty bitboard) maps to 64.
inline constexpr Bitboard lowest_square_multiplier = 0x0DB8F3FB14C8C21DULL;

inline constexpr std::array<std::uint8_t, 128> lowest_square_table = [] {
    std::array<std::uint8_t, 128> table{};
    table[0] = 64;
    for (unsigned s = 0; s < 64; ++s)
        table[((Bitboard{1} << s) * lowest_square_multiplier) >> 57] = std::uint8_t(s);
    return table;
}();

// The table form of the scan; gives the same result as lowest_square() below.
inline constexpr std::uint32_t lowest_square_by_table(Bitboard x) {
    return lowest_square_table[((x & (0 - x)) * lowest_square_multiplier) >> 57];
}

// Lowest square of x, 64 (no_square) when x is empty. Uses the processor's bit scan,
// which agrees with the table form on every input and is a single instruction.
inline constexpr std::uint32_t lowest_square(Bitboard x) {
    return std::uint32_t(std::countr_zero(x));
}

// Lowest square of a non-empty x: the bare bit scan, without the empty-board case.
inline constexpr std::uint32_t lowest_square_nonempty(Bitboard x) {
#if defined(__GNUC__)
    return std::uint32_t(__builtin_ctzll(x));
#else
    return lowest_square(x);
#endif
}

// Returns the lowest square of a non-empty x and removes it from x.
inline constexpr std::uint32_t pop_lowest_square(Bitboard& x) {
    const std::uint32_t s = lowest_square_nonempty(x);
    x &= x - 1;
    return s;
}

inline constexpr Bitboard without_lowest(Bitboard x) { return x & (x - 1); }

// Bit counts of every 16-bit value; the table form of population count.
extern const std::array<std::uint8_t, 65536> popcount16_table;

inline std::uint32_t popcount_by_table(Bitboard x) {
    return popcount16_table[x & 0xFFFF] + popcount16_table[(x >> 16) & 0xFFFF] +
           popcount16_table[(x >> 32) & 0xFFFF] + popcount16_table[x >> 48];
}

// Number of squares in x; same result as the table form, without its 64 KB of cache.
// Without the processor's count instruction the library would call out of line, so
// the count is done by adding bits in parallel instead.
inline constexpr std::uint32_t popcount(Bitboard x) {
#if defined(__POPCNT__)
    return std::uint32_t(std::popcount(x));
#else
    x -= (x >> 1) & 0x5555555555555555ULL;
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return std::uint32_t((x * 0x0101010101010101ULL) >> 56);
#endif
}

// Rank 8 becomes rank 1 and so on (the bytes in reverse order).
inline constexpr Bitboard flip_vertical(Bitboard x) {
    x = ((x >> 8) & 0x00FF00FF00FF00FFULL) | ((x & 0x00FF00FF00FF00FFULL) << 8);
    x = ((x >> 16) & 0x0000FFFF0000FFFFULL) | ((x & 0x0000FFFF0000FFFFULL) << 16);
    return (x >> 32) | (x << 32);
}

// File a becomes file h and so on (the bits of each byte in reverse order).
inline constexpr Bitboard mirror_horizontal(Bitboard x) {
    x = ((x >> 1) & 0x5555555555555555ULL) | ((x & 0x5555555555555555ULL) << 1);
    x = ((x >> 2) & 0x3333333333333333ULL) | ((x & 0x3333333333333333ULL) << 2);
    x = ((x >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((x & 0x0F0F0F0F0F0F0F0FULL) << 4);
    return x;
}

// The squares that pawns of one colour attack, and the squares one step ahead of them.
template <bool White>
constexpr Bitboard pawn_attacks(Bitboard pawns) {
    return White ? ((pawns << 7) & not_file_h) | ((pawns << 9) & not_file_a)
                 : ((pawns >> 7) & not_file_a) | ((pawns >> 9) & not_file_h);
}

template <bool White>
constexpr Bitboard pawn_push(Bitboard pawns) {
    return White ? pawns << 8 : pawns >> 8;
}

}  // namespace vorline
