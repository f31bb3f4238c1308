#include "tool/index_merge.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "io/scratch_array.h"
#include "tool/interruption.h"

namespace vorline {

namespace {

constexpr std::uint64_t check_period = std::uint64_t{1} << 20;

// The keys of all inputs in ascending order, a key held by several inputs once, with the
// first input that holds it. Each input is read front to back; the inputs' next keys are
// kept in a binary heap, smallest key (then earliest input) on top.
class KeyMerge {
public:
    explicit KeyMerge(std::span<const IndexFile* const> inputs) : inputs_(inputs) {
        next_.assign(inputs.size(), 0);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            if (inputs[i]->size() > 0) heads_.push_back({inputs[i]->key(0), i});
        for (std::size_t i = heads_.size() / 2; i-- > 0;) sift_down(i);
    }

    // Calls visit(key, input, rank) for the key's first input, then visit_other(input, rank)
    // for every later input that holds it; false at the end.
    template <class Visit, class VisitOther>
    bool next(Visit visit, VisitOther visit_other) {
        if (heads_.empty()) return false;
        const std::uint64_t key = heads_.front().key;
        visit(key, heads_.front().input, next_[heads_.front().input]);
        advance_top();
        while (!heads_.empty() && heads_.front().key == key) {
            visit_other(heads_.front().input, next_[heads_.front().input]);
            advance_top();
        }
        return true;
    }

private:
    struct Head {
        std::uint64_t key;
        std::size_t input;
        bool operator<(const Head& other) const {
            return key != other.key ? key < other.key : input < other.input;
        }
    };
    // Moves the top input on to its next key, or drops it at its end.
    void advance_top() {
        Head& top = heads_.front();
        const IndexFile& file = *inputs_[top.input];
        const std::uint64_t rank = ++next_[top.input];
        if (rank < file.size()) {
            const std::uint64_t key = file.key(rank);
            // Keys must ascend: a file whose keys do not has been tampered with.
            if (key <= top.key) file.fail("corrupted (keys out of order)");
            top.key = key;
        } else {
            top = heads_.back();
            heads_.pop_back();
        }
        if (!heads_.empty()) sift_down(0);
    }
    void sift_down(std::size_t i) {
        const Head moved = heads_[i];
        for (;;) {
            std::size_t child = 2 * i + 1;
            if (child >= heads_.size()) break;
            if (child + 1 < heads_.size() && heads_[child + 1] < heads_[child]) ++child;
            if (!(heads_[child] < moved)) break;
            heads_[i] = heads_[child];
            i = child;
        }
        heads_[i] = moved;
    }

    std::span<const IndexFile* const> inputs_;
    std::vector<std::uint64_t> next_;
    std::vector<Head> heads_;
};

}  // namespace

void merge_index_files(std::span<const IndexFile* const> inputs, IndexSummary summary,
                       bool sum_inputs, const std::string& scratch_folder, WrittenFile& output) {
    const IndexSummary given = summary;
    summary.games = {};
    summary.input_bytes = 0;
    summary.input_name.clear();
    std::vector<std::uint64_t> map_start;  // where each input's ranks begin in the map
    std::uint64_t total = 0;
    for (const IndexFile* input : inputs) {
        input->verify_checksums();
        input->expect_sequential();
        const IndexHeader& header = input->header();
        summary.games.games_read += header.games_read;
        summary.games.games_skipped_for_fen += header.games_skipped_for_fen;
        summary.games.games_stopped_early += header.games_stopped_early;
        summary.input_bytes += header.input_bytes;
        if (!summary.input_name.empty()) summary.input_name += " + ";
        summary.input_name += input->input_name();
        map_start.push_back(total);
        total += input->size();
    }
    ScratchArray new_rank(scratch_folder, total, output.name());

    // First the keys, each with its rank in the merged order noted for every input that
    // holds it; then the links, each input's parents mapped to merged ranks.
    IndexFileWriter writer(output);
    std::uint64_t merged = 0;
    KeyMerge keys(inputs);
    while (keys.next(
        [&](std::uint64_t key, std::size_t input, std::uint64_t rank) {
            if ((merged & (check_period - 1)) == 0) stop_if_interrupted();
            writer.add_key(key);
            new_rank[map_start[input] + rank] = merged++;
        },
        [&](std::size_t input, std::uint64_t rank) {
            new_rank[map_start[input] + rank] = merged - 1;
        })) {
    }
    writer.end_keys();
    // The links a batch at a time: the merged ranks of the batch's parents lie anywhere in
    // the map, so all of them are asked for before the first is read.
    constexpr std::size_t batch = 64;
    std::uint64_t map_at[batch];  // of the parent in the map, or root_rank
    std::uint32_t moves[batch];
    std::size_t filled = 0;
    auto write_batch = [&] {
        for (std::size_t i = 0; i < filled; ++i)
            if (map_at[i] != root_rank) __builtin_prefetch(&new_rank[map_at[i]]);
        for (std::size_t i = 0; i < filled; ++i)
            writer.add_link(map_at[i] == root_rank ? root_rank : new_rank[map_at[i]], moves[i]);
        filled = 0;
    };
    std::uint64_t written = 0;
    KeyMerge owners(inputs);
    while (owners.next(
        [&](std::uint64_t, std::size_t input, std::uint64_t rank) {
            if ((written++ & (check_period - 1)) == 0) stop_if_interrupted();
            const IndexFile& file = *inputs[input];
            const IndexLink link = file.link(rank);
            if (link.parent != root_rank && link.parent >= file.size())
                file.fail("corrupted (a link that leads nowhere)");
            map_at[filled] = link.parent == root_rank ? root_rank : map_start[input] + link.parent;
            moves[filled] = link.move;
            if (++filled == batch) write_batch();
        },
        [](std::size_t, std::uint64_t) {})) {
    }
    write_batch();
    writer.finish(sum_inputs ? summary : given);
}

}  // namespace vorline
