// IndexEntry: one link of the opening index (parent key and move).
#pragma once

#include <cstdint>

// One link of the opening index: the key of the position before the move, and the move
// (packed 32-bit word) that was played from there.
struct IndexEntry {
    std::uint64_t parent = 0;
    std::uint32_t move = 0;
};
