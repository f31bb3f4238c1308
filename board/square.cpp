#include "board/square.h"

#include <cstdint>

#include "board/board_errors.h"

namespace vorline {

Square::Square(std::string_view text) {
    if (text.size() != 2) throw BoardError("Square::Square(string)  size() error");
    // Only the combined index is range-checked: "i1" reads as a2, like a file letter wrapping.
    const int index = int(std::int8_t(text[0] - 'a')) + 8 * int(std::int8_t(text[1] - '1'));
    if (std::uint32_t(index) > 63) throw BoardError("Square::Square(string)  out of range");
    square_ = std::uint32_t(index);
}

std::string Square::name() const {
    if (square_ < 64) return {file_letter(), rank_digit()};
    if (square_ == no_square) return "no_square";
    throw BoardError("Square::name()const msquare=" + std::to_string(square_));
}

}  // namespace vorline
