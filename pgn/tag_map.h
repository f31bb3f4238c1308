// TagMap: the tag pairs of a game, ordered by name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "pgn/assign_text.h"
#include "pgn/reuse_list.h"

namespace vorline {

// Tag pairs ordered by byte-wise comparison of their names. A game has a few dozen tags
// at most, so a sorted list does well, and it keeps its text buffers from game to game.
class TagMap {
public:
    using Entry = std::pair<std::string, std::string>;  // name, value

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

    const Entry* begin() const { return entries_.begin(); }
    const Entry* end() const { return entries_.end(); }

    // The value of `name`, or nullptr when the name has none.
    const std::string* find(std::string_view name) const;
    bool contains(std::string_view name) const { return find(name) != nullptr; }

    // The value of `name`, inserted empty when the name has none yet.
    std::string& operator[](std::string_view name);

    void set(std::string_view name, std::string_view value) { assign_text((*this)[name], value); }

private:
    // Index of the first entry whose name is not less than `name`.
    std::size_t lower_bound(std::string_view name) const;

    ReuseList<Entry> entries_;
};

}  // namespace vorline
