#include "tool/opening_index.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace vorline {

namespace {

constexpr unsigned initial_table_bits = 12;
constexpr std::size_t initial_table_size = std::size_t{1} << initial_table_bits;

inline std::uint32_t tag_of(std::uint64_t key) { return static_cast<std::uint32_t>(key >> 32); }
inline std::uint32_t low_of(std::uint64_t key) { return static_cast<std::uint32_t>(key); }

}  // namespace

OpeningIndex::OpeningIndex(std::uint64_t root_key, Node first_node)
    : root_key_(root_key),
      first_node_(first_node),
      chunks_(first_node >> chunk_bits),
      table_block_(initial_table_size * sizeof(Slot)),
      table_(static_cast<Slot*>(table_block_.data())),
      mask_(initial_table_size - 1),
      shift_(64 - initial_table_bits) {
    // add_node starts a chunk where one begins; the chunk of a first node within one is
    // started here.
    if ((first_node & (chunk_size - 1)) != 0) chunks_.emplace_back(chunk_size * sizeof(NodeData));
}

std::size_t OpeningIndex::probe(std::uint64_t key) const {
    const std::uint32_t tag = tag_of(key);
    for (std::size_t slot = home(key);; slot = (slot + 1) & mask_) {
        const Slot& s = table_[slot];
        if (s.node == 0 || (s.tag == tag && node(s.node - 1).key_low == low_of(key))) return slot;
    }
}

OpeningIndex::Node OpeningIndex::find_node(std::uint64_t key) const {
    const Slot& s = table_[probe(key)];
    return s.node == 0 ? root : s.node - 1;
}

OpeningIndex::Node OpeningIndex::record(std::uint64_t key, Node parent, std::uint32_t move) {
    const std::size_t slot = probe(key);
    const Node found =
        table_[slot].node == 0 ? add_node(key, parent, move, slot) : table_[slot].node - 1;
    return key == root_key_ ? root : found;
}

void OpeningIndex::record_line(std::span<const OpeningStep> steps) {
    Node parent = root;
    for (const OpeningStep& step : steps) parent = record(step.key, parent, step.move);
}

OpeningIndex::Node OpeningIndex::add_node(std::uint64_t key, Node parent, std::uint32_t move,
                                          std::size_t slot) {
    // The numbers end below root, which stands for the initial position.
    const std::uint64_t number = std::uint64_t{first_node_} + count_;
    if (number >= root) throw std::length_error("OpeningIndex: too many positions");
    const Node n = static_cast<Node>(number);
    if ((n & (chunk_size - 1)) == 0) chunks_.emplace_back(chunk_size * sizeof(NodeData));
    node(n) = NodeData{low_of(key), parent, move};
    table_[slot] = Slot{tag_of(key), n + 1};
    ++count_;
    if (count_ > positions_held(mask_ + 1)) grow();
    return n;
}

void OpeningIndex::reserve(std::size_t positions) {
    if (count_ != 0) return;
    // Up front at most 2^28 slots: address space, touched only where keys land.
    constexpr unsigned most_reserved_bits = 28;
    const unsigned current_bits = 64 - shift_;
    unsigned bits = current_bits;
    while (bits < most_reserved_bits && positions_held(std::size_t{1} << bits) < positions) ++bits;
    if (bits == current_bits) return;
    ZeroedBlock block;
    try {
        block = ZeroedBlock((std::size_t{1} << bits) * sizeof(Slot));
    } catch (const std::bad_alloc&) {
        return;  // the table grows as it fills instead
    }
    take_table(std::move(block), bits);
}

void OpeningIndex::take_table(ZeroedBlock block, unsigned bits) {
    table_block_ = std::move(block);
    table_ = static_cast<Slot*>(table_block_.data());
    mask_ = (std::size_t{1} << bits) - 1;
    shift_ = 64 - bits;
}

void OpeningIndex::grow() {
    const std::size_t old_size = mask_ + 1;
    const std::size_t size = 2 * old_size;
    ZeroedBlock grown(size * sizeof(Slot));  // throws with the old table still whole
    Slot* const table = static_cast<Slot*>(grown.data());
    const std::size_t mask = size - 1;
    const unsigned shift = shift_ - 1;
    // Every slot of the old table moves to its place in the new one, found from its tag
    // (beyond 2^32 slots the node's half of the key is needed too). A key's place in the
    // new table is about twice its place in the old one, so the scan writes the new table
    // front to back. It starts after an empty slot, so that no probe run is cut in two,
    // and gives back each huge page of the old table it has passed: the two tables never
    // take up more memory together than the new one will.
    std::size_t first = 0;
    while (table_[first].node != 0) ++first;  // there is one: the table is not full
    constexpr std::size_t page_slots = (std::size_t{2} << 20) / sizeof(Slot);
    for (std::size_t k = 1; k <= old_size; ++k) {
        const std::size_t i = (first + k) & mask_;
        if (const Slot s = table_[i]; s.node != 0) {
            const std::uint64_t high = std::uint64_t{s.tag} << 32;
            const std::uint64_t key = shift >= 32 ? high : high | node(s.node - 1).key_low;
            std::size_t slot = static_cast<std::size_t>(key >> shift);
            while (table[slot].node != 0) slot = (slot + 1) & mask;
            table[slot] = s;
        }
        // The page that ends here was passed whole unless it holds the scan's start.
        const bool page_ends = (i + 1) % page_slots == 0;
        if (page_ends && (i <= first || i + 1 - page_slots > first))
            table_block_.release((i + 1 - page_slots) * sizeof(Slot), page_slots * sizeof(Slot));
    }
    take_table(std::move(grown), 64 - shift);
}

void OpeningIndex::walk_back_batch(std::span<const std::uint64_t> keys,
                                   std::span<std::vector<std::uint32_t>> moves,
                                   std::span<bool> found) const {
    Node at[batch_limit];
    const std::size_t count = std::min(keys.size(), batch_limit);
    std::size_t walking = 0;
    for (std::size_t i = 0; i < count; ++i) {
        moves[i].clear();
        at[i] = find_node(keys[i]);
        found[i] = at[i] != root;
        walking += found[i];
    }
    // One step of every unfinished chain per round; the next node of each is asked for
    // before the other chains take their step. Parents are always older nodes, so every
    // chain strictly descends and ends at root.
    while (walking > 0) {
        for (std::size_t i = 0; i < count; ++i) {
            if (at[i] == root) continue;
            const NodeData& d = node(at[i]);
            moves[i].push_back(d.move);
            at[i] = d.parent;
            if (at[i] == root)
                --walking;
            else
                __builtin_prefetch(&node(at[i]));
        }
    }
}

std::size_t OpeningIndex::memory_bytes() const {
    // A chunk is only counted in memory as far as its nodes have touched it.
    return count_ * sizeof(NodeData) + (mask_ + 1) * sizeof(Slot) +
           chunks_.capacity() * sizeof(chunks_[0]);
}

}  // namespace vorline
