#include "pgn/tag_map.h"

namespace vorline {

std::size_t TagMap::lower_bound(std::string_view name) const {
    std::size_t low = 0;
    std::size_t high = entries_.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (std::string_view(entries_[mid].first) < name)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

const std::string* TagMap::find(std::string_view name) const {
    const std::size_t i = lower_bound(name);
    if (i < entries_.size() && entries_[i].first == name) return &entries_[i].second;
    return nullptr;
}

std::string& TagMap::operator[](std::string_view name) {
    const std::size_t i = lower_bound(name);
    if (i < entries_.size() && entries_[i].first == name) return entries_[i].second;
    Entry& entry = entries_.insert_slot(i);
    assign_text(entry.first, name);
    entry.second.clear();
    return entry.second;
}

}  // namespace vorline
