#include "pgn/game_line.h"

#include <cstdint>
#include <limits>

namespace vorline {

std::optional<std::size_t> referred_line(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '(' && c != ')' && c != ' ' && (c < '\t' || c > '\r')) break;
        ++i;
    }
    if (i == text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    constexpr std::size_t limit = std::numeric_limits<std::uint32_t>::max();
    std::size_t number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + static_cast<std::size_t>(text[i] - '0');
        if (number > limit) return std::nullopt;
    }
    return number;
}

std::size_t next_move_index(const GameLine& line, std::size_t from) {
    for (std::size_t i = from; i < line.size(); ++i)
        if (line[i].kind == NodeKind::move) return i;
    return line.size();
}

}  // namespace vorline
