#include "board/bitboard_set.h"

#include <cstdio>
#include <ostream>

namespace vorline {

std::string BitboardSet::debug_text() const {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(bits_));
    std::string text = "\n";
    text += hex;
    text += '\n';
    for (int rank = 7; rank >= 0; --rank) {
        for (int file = 0; file < 8; ++file)
            text += contains(std::uint32_t(8 * rank + file)) ? '1' : '0';
        text += '\n';
    }
    return text;
}

void BitboardSet::print(std::ostream& out) const { out << debug_text() << std::flush; }

}  // namespace vorline
