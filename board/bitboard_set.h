// BitboardSet: a bitboard as a small value class, with square-level edits and a debug print.
#pragma once

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "board/bitboard.h"

namespace vorline {

class BitboardSet {
public:
    constexpr BitboardSet() = default;
    constexpr BitboardSet(Bitboard bits) : bits_(bits) {}

    constexpr Bitboard bits() const { return bits_; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr bool contains(std::uint32_t square) const {
        return (bits_ & square_table[square]) != 0;
    }

    constexpr void set(std::uint32_t square) { bits_ |= square_table[square]; }
    constexpr void clear(std::uint32_t square) { bits_ &= ~square_table[square]; }
    constexpr void clear() { bits_ = 0; }

    constexpr BitboardSet flipped_vertically() const { return vorline::flip_vertical(bits_); }
    constexpr BitboardSet mirrored_horizontally() const {
        return vorline::mirror_horizontal(bits_);
    }
    constexpr void flip_vertical() { bits_ = vorline::flip_vertical(bits_); }
    constexpr void mirror_horizontal() { bits_ = vorline::mirror_horizontal(bits_); }

    // 64 (no_square) when empty.
    constexpr std::uint32_t lowest_square() const { return vorline::lowest_square(bits_); }
    constexpr void remove_lowest() { bits_ &= bits_ - 1; }
    constexpr std::uint32_t pop_lowest() { return pop_lowest_square(bits_); }
    constexpr std::uint32_t popcount() const { return vorline::popcount(bits_); }

    friend constexpr bool operator==(BitboardSet, BitboardSet) = default;
    friend constexpr auto operator<=>(BitboardSet, BitboardSet) = default;

    constexpr BitboardSet operator~() const { return ~bits_; }
    constexpr BitboardSet& operator&=(BitboardSet o) {
        bits_ &= o.bits_;
        return *this;
    }
    constexpr BitboardSet& operator|=(BitboardSet o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr BitboardSet& operator^=(BitboardSet o) {
        bits_ ^= o.bits_;
        return *this;
    }
    constexpr BitboardSet& operator<<=(unsigned n) {
        bits_ <<= n;
        return *this;
    }
    constexpr BitboardSet& operator>>=(unsigned n) {
        bits_ >>= n;
        return *this;
    }
    friend constexpr BitboardSet operator&(BitboardSet a, BitboardSet b) {
        return a.bits_ & b.bits_;
    }
    friend constexpr BitboardSet operator|(BitboardSet a, BitboardSet b) {
        return a.bits_ | b.bits_;
    }
    friend constexpr BitboardSet operator^(BitboardSet a, BitboardSet b) {
        return a.bits_ ^ b.bits_;
    }
    friend constexpr BitboardSet operator<<(BitboardSet a, unsigned n) { return a.bits_ << n; }
    friend constexpr BitboardSet operator>>(BitboardSet a, unsigned n) { return a.bits_ >> n; }

    // A line end, the value as 16 hex digits, a line end, then eight lines of '0'/'1',
    // rank 8 first, files a to h from left to right.
    std::string debug_text() const;
    void print(std::ostream& out) const;

private:
    Bitboard bits_ = 0;
};

}  // namespace vorline
