#include "board/piece.h"

#include <array>
#include <iostream>
#include <string_view>

#include "board/board_errors.h"

namespace vorline {

namespace {

constexpr std::array<int, 7> kind_values = {0, 100, 300, 300, 500, 900, 4000};

constexpr std::array<std::string_view, 15> piece_names = {
    "no piece",   "white pawn",  "white knight", "white bishop",
    "white rook", "white queen", "white king",   "",
    "",           "black pawn",  "black knight", "black bishop",
    "black rook", "black queen", "black king"};

constexpr bool is_piece_code(std::uint32_t code) { return code < 15 && code != 7 && code != 8; }

void print_code(std::uint32_t code) { std::cout << "Piece: " << code << std::endl; }

}  // namespace

int Piece::value() const {
    if (!is_piece_code(code_)) {
        print_code(code_);
        throw BoardError("Piece::value out of range");
    }
    return is_black() ? -kind_values[kind()] : kind_values[kind()];
}

int Piece::abs_value() const {
    if (kind() == 7) {
        print_code(code_);
        throw BoardError("Piece::abs_value out of range:");
    }
    return kind_values[kind()];
}

std::string Piece::name() const {
    if (!is_piece_code(code_)) throw BoardError("Piece::unknown piece");
    return std::string(piece_names[code_]);
}

}  // namespace vorline
