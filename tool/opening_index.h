// OpeningIndex: position keys mapped to the link that first reached them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "tool/zeroed_block.h"

namespace vorline {

// One move of a game's opening: the key of the position it reaches and the move's word.
struct OpeningStep {
    std::uint64_t key;
    std::uint32_t move;
};

// Map from a 64-bit position key to the link that first reached it: the parent position
// and the move played from it. Entries are never replaced or removed.
//
// Layout, chosen for speed and a small footprint (12 bytes per position plus an
// open-addressing table of 8-byte slots kept at most three quarters full):
// - nodes live in fixed-size chunks in insertion order: {low half of the key, parent
//   node, move}; a parent is stored as the node number of the parent position, or `root`
//   when the parent is the initial position, so every chain ends at `root` and never
//   loops (a parent is always entered before its children);
// - the table holds, per slot, the high half of the key and the node number + 1: a key is
//   its slot's half and its node's half together, and most probes are decided by the
//   slot alone. A key's probe run starts at the slot its highest bits name, so the tags
//   alone say where the keys go when the table grows to twice its size; when no memory
//   is left for that, the old table stays, whole, and std::bad_alloc is thrown.
// Chunks and large tables sit on huge pages where the system allows (ZeroedBlock): every
// step touches them at random, and 4 KiB pages would cost a TLB miss on most steps and a
// page fault every few hundred nodes.
class OpeningIndex {
public:
    using Node = std::uint32_t;
    static constexpr Node root = 0xFFFFFFFFu;  // stands for the initial position

    // Nodes are numbered from `first_node` on (tests number them close to the end of the
    // range, which no real run reaches in their time). The numbers end below root, so an
    // index holds at most numbers_left() more positions; IndexSpills writes it out before.
    explicit OpeningIndex(std::uint64_t root_key, Node first_node = 0);

    std::uint64_t root_key() const { return root_key_; }
    std::size_t size() const { return count_; }
    Node first_node() const { return first_node_; }
    std::uint64_t numbers_left() const { return root - first_node_ - count_; }

    // Sizes the table of an index that holds nothing yet for `positions` positions, so that
    // it need not pass through every smaller size, each on fresh memory, on the way there.
    // A hint: ignored once positions are recorded, and when the memory cannot be had.
    void reserve(std::size_t positions);
    // Records the steps of one line played from the initial position, in order: each
    // step's key, unless present already, with the step before it as parent (the initial
    // position for the first) and the step's move. A line that returns to the initial
    // position goes on from there as from its start.
    void record_line(std::span<const OpeningStep> steps);
    // Ask for what record_line will read to be brought into the cache, so that its misses
    // overlap with other work instead of queueing: first the table slots of a line's steps,
    // then, once those have arrived, the nodes they lead to.
    void prefetch_line(std::span<const OpeningStep> steps) const {
        for (const OpeningStep& step : steps) prefetch(step.key);
    }
    void prefetch_line_nodes(std::span<const OpeningStep> steps) const {
        for (const OpeningStep& step : steps) prefetch_node(step.key);
    }

    // Asks for the table slot of `key` to be brought into the cache ahead of a lookup.
    void prefetch(std::uint64_t key) const { __builtin_prefetch(&table_[home(key)]); }
    // The same for the node of `key`, found by its tag among the first slots of its probe
    // run; best after prefetch(key) has had time to bring those slots in.
    void prefetch_node(std::uint64_t key) const {
        const std::uint32_t tag = std::uint32_t(key >> 32);
        for (std::size_t i = 0, slot = home(key); i < 4; ++i, slot = (slot + 1) & mask_) {
            const Slot& s = table_[slot];
            if (s.node == 0) return;
            if (s.tag == tag) return __builtin_prefetch(&node(s.node - 1));
        }
    }

    // Collects the moves from the initial position to each of `keys`, last move first:
    // moves[i] is cleared and filled, and found[i] tells whether keys[i] is in the index
    // (at least one move is collected for a key that is, also for the root key itself).
    // The chains are walked in step, so that the cache misses of one overlap with those of
    // the others. At most `batch_limit` keys.
    static constexpr std::size_t batch_limit = 64;
    void walk_back_batch(std::span<const std::uint64_t> keys,
                         std::span<std::vector<std::uint32_t>> moves, std::span<bool> found) const;

    // For saving the index: calls visit(key, node) for every position, in the order of the
    // table, which is nearly the order of the keys: a key's slot is its highest bits, or
    // a few slots beyond. The keys whose probe run wrapped around the table's end, the
    // greatest, come last.
    template <class Visit>
    void for_each_position(Visit visit) const {
        std::size_t first = 0;  // the first empty slot: no probe run wraps past it
        while (table_[first].node != 0) ++first;
        std::vector<std::size_t> wrapped;
        auto key_of = [&](Slot s) { return std::uint64_t{s.tag} << 32 | node(s.node - 1).key_low; };
        constexpr std::size_t ahead = 16;
        for (std::size_t slot = 0; slot <= mask_; ++slot) {
            if (const Slot s = table_[(slot + ahead) & mask_]; s.node != 0)
                __builtin_prefetch(&node(s.node - 1));
            const Slot s = table_[slot];
            if (s.node == 0) continue;
            if (slot < first && home(key_of(s)) > slot)
                wrapped.push_back(slot);
            else
                visit(key_of(s), s.node - 1);
        }
        for (const std::size_t slot : wrapped) visit(key_of(table_[slot]), table_[slot].node - 1);
    }
    // Asks for a node to be brought into the cache ahead of link().
    void prefetch_link(Node n) const { __builtin_prefetch(&node(n)); }
    struct NodeLink {
        Node parent;  // root for the initial position
        std::uint32_t move;
    };
    NodeLink link(Node n) const { return {node(n).parent, node(n).move}; }

    // Bytes taken up by the nodes and the table.
    std::size_t memory_bytes() const;

private:
    struct NodeData {
        std::uint32_t key_low;  // low 32 bits of the key
        Node parent;
        std::uint32_t move;
    };
    struct Slot {
        std::uint32_t tag;   // high 32 bits of the key
        std::uint32_t node;  // node number + 1; 0 marks an empty slot
    };
    static constexpr unsigned chunk_bits = 19;  // 6 MiB of nodes: whole huge pages
    static constexpr std::size_t chunk_size = std::size_t{1} << chunk_bits;

    const NodeData& node(Node n) const {
        return static_cast<const NodeData*>(chunks_[n >> chunk_bits].data())[n & (chunk_size - 1)];
    }
    NodeData& node(Node n) {
        return static_cast<NodeData*>(chunks_[n >> chunk_bits].data())[n & (chunk_size - 1)];
    }
    // The first slot of the probe run of `key`: its highest bits, so that the slot's tag
    // tells where a key belongs in a table of any size up to 2^32 slots.
    std::size_t home(std::uint64_t key) const { return static_cast<std::size_t>(key >> shift_); }
    // The slot that holds `key`, or the empty slot that ends its probe run.
    std::size_t probe(std::uint64_t key) const;
    Node find_node(std::uint64_t key) const;
    // Records `key` reached by `move` from `parent` unless present; returns the node to
    // pass as the parent of the next move (root for the initial position's key).
    Node record(std::uint64_t key, Node parent, std::uint32_t move);
    Node add_node(std::uint64_t key, Node parent, std::uint32_t move, std::size_t slot);
    // The most positions a table of `slots` slots holds: three quarters full at most, so
    // that probe runs stay short.
    static std::size_t positions_held(std::size_t slots) { return 3 * slots / 4; }
    void grow();
    // Makes `block`, of 2^bits slots, the table.
    void take_table(ZeroedBlock block, unsigned bits);

    std::uint64_t root_key_;
    Node first_node_;
    // Chunk n holds nodes n * chunk_size on; those below first_node_'s stay empty.
    std::vector<ZeroedBlock> chunks_;
    ZeroedBlock table_block_;
    Slot* table_;           // table_block_'s slots
    std::size_t mask_ = 0;  // table size - 1
    unsigned shift_ = 0;    // 64 - log2(table size)
    std::size_t count_ = 0;
};

}  // namespace vorline
