#include "tool/opening_move_cache.h"

#include <cstring>

bool OpeningMoveCache::pack(std::string_view token, std::uint64_t& packed) {
    // Tokens never hold a zero byte, so the padding cannot make two tokens equal.
    if (token.empty() || token.size() > sizeof packed) return false;
    packed = 0;
    std::memcpy(&packed, token.data(), token.size());
    return true;
}

std::size_t OpeningMoveCache::home(Node parent, std::uint64_t token) {
    static_assert(table_size == std::size_t{1} << 13);
    const std::uint64_t mixed =
        (token ^ (std::uint64_t{parent} << 32 | parent)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> 51);  // the top 13 bits
}

bool OpeningMoveCache::follow(Node& node, std::string_view token, Move& move) const {
    std::uint64_t packed;
    if (!entries_ || !pack(token, packed)) return false;
    for (std::size_t i = home(node, packed);; i = (i + 1) & (table_size - 1)) {
        const Entry& entry = entries_[i];
        if (entry.token == 0) return false;
        if (entry.token == packed && entry.parent == node) {
            move = Move::from_word(entry.move);
            node = static_cast<Node>(i + 1);
            return true;
        }
    }
}

bool OpeningMoveCache::add(Node& node, std::string_view token, Move move) {
    std::uint64_t packed;
    if (count_ >= capacity || !pack(token, packed)) return false;
    if (!entries_) entries_ = std::make_unique<Entry[]>(table_size);
    std::size_t i = home(node, packed);
    while (entries_[i].token != 0) i = (i + 1) & (table_size - 1);
    entries_[i] = Entry{packed, node, move.word()};
    ++count_;
    node = static_cast<Node>(i + 1);
    return true;
}
