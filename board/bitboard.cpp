#include "board/bitboard.h"

namespace vorline {

// Constant-initialised, so it is ready before any other start-up code can read it.
constinit const std::array<std::uint8_t, 65536> popcount16_table = [] {
    std::array<std::uint8_t, 65536> table{};
    for (unsigned i = 1; i < 65536; ++i) table[i] = std::uint8_t(table[i >> 1] + (i & 1));
    return table;
}();

}  // namespace vorline
