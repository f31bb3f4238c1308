// Square: a board square 0..63 (a1 = 0, b1 = 1, ..., h8 = 63), or 64 for no square.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/bitboard.h"

namespace vorline {

class Square {
public:
    constexpr Square() = default;
    constexpr Square(std::uint32_t square) : square_(square) {}  // unchecked
    // From a text such as "e4"; throws BoardError on a bad length or range.
    explicit Square(std::string_view text);

    constexpr std::uint32_t value() const { return square_; }
    constexpr bool is_none() const { return square_ == no_square; }

    std::string name() const;  // "e4", or "no_square" for 64
    constexpr std::uint32_t file() const { return square_ & 7; }
    constexpr std::uint32_t rank() const { return square_ >> 3; }
    constexpr char file_letter() const { return char('a' + file()); }
    constexpr char rank_digit() const { return char('1' + rank()); }
    constexpr Bitboard bitboard() const { return square_table[square_]; }

    // a1 <-> a8, e2 <-> e7.
    constexpr Square flipped() const { return square_ ^ 56; }
    // a1 <-> h1.
    constexpr Square mirrored() const { return (square_ & 56) + 7 - (square_ & 7); }

    friend constexpr bool operator==(Square, Square) = default;
    friend constexpr auto operator<=>(Square, Square) = default;
    friend constexpr int operator-(Square a, Square b) { return int(a.square_) - int(b.square_); }

    constexpr Square& operator+=(int n) {
        square_ += std::uint32_t(n);
        return *this;
    }
    constexpr Square& operator-=(int n) {
        square_ -= std::uint32_t(n);
        return *this;
    }
    constexpr Square& operator++() {
        ++square_;
        return *this;
    }
    constexpr Square& operator--() {
        --square_;
        return *this;
    }
    constexpr Square operator++(int) {
        Square old = *this;
        ++square_;
        return old;
    }
    constexpr Square operator--(int) {
        Square old = *this;
        --square_;
        return old;
    }

private:
    std::uint32_t square_ = no_square;
};

// Square numbers by name, for tables and tests: squares::e4 == 28.
namespace squares {
// clang-format off
enum : std::uint32_t {
    a1, b1, c1, d1, e1, f1, g1, h1,
    a2, b2, c2, d2, e2, f2, g2, h2,
    a3, b3, c3, d3, e3, f3, g3, h3,
    a4, b4, c4, d4, e4, f4, g4, h4,
    a5, b5, c5, d5, e5, f5, g5, h5,
    a6, b6, c6, d6, e6, f6, g6, h6,
    a7, b7, c7, d7, e7, f7, g7, h7,
    a8, b8, c8, d8, e8, f8, g8, h8,
    none
};
// clang-format on
}  // namespace squares

}  // namespace vorline
