#include "tool/index_merge.h"

#include <cstdint>
#include <memory>
#include <queue>
#include <vector>

#include "io/scratch_array.h"
#include "tool/interruption.h"

namespace vorline {

namespace {

constexpr std::uint64_t check_period = std::uint64_t{1} << 20;

// The keys of all inputs in ascending order, a key held by several inputs once, with the
// first input that holds it. Each input is read front to back.
class KeyMerge {
public:
    explicit KeyMerge(std::span<const IndexFile* const> inputs) : inputs_(inputs) {
        next_.assign(inputs.size(), 0);
        for (std::size_t i = 0; i < inputs.size(); ++i) push(i);
    }

    // Calls visit(key, input, rank) for the key's first input, then visit_other(input, rank)
    // for every later input that holds it; false at the end.
    template <class Visit, class VisitOther>
    bool next(Visit visit, VisitOther visit_other) {
        if (heads_.empty()) return false;
        const Head first = heads_.top();
        heads_.pop();
        visit(first.key, first.input, next_[first.input]++);
        push(first.input);
        while (!heads_.empty() && heads_.top().key == first.key) {
            const Head other = heads_.top();
            heads_.pop();
            visit_other(other.input, next_[other.input]++);
            push(other.input);
        }
        return true;
    }

private:
    struct Head {
        std::uint64_t key;
        std::size_t input;
        // Smallest key first, and among equal keys the earliest input.
        bool operator>(const Head& other) const {
            return key != other.key ? key > other.key : input > other.input;
        }
    };
    void push(std::size_t input) {
        const IndexFile& file = *inputs_[input];
        if (next_[input] < file.size()) heads_.push({file.key(next_[input]), input});
        // Keys must ascend: a file whose keys do not has been tampered with.
        if (next_[input] > 0 && next_[input] < file.size() &&
            file.key(next_[input] - 1) >= file.key(next_[input]))
            file.fail("corrupted (keys out of order)");
    }

    std::span<const IndexFile* const> inputs_;
    std::vector<std::uint64_t> next_;
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads_;
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
    std::uint64_t written = 0;
    KeyMerge owners(inputs);
    while (owners.next(
        [&](std::uint64_t, std::size_t input, std::uint64_t rank) {
            if ((written++ & (check_period - 1)) == 0) stop_if_interrupted();
            const IndexFile& file = *inputs[input];
            const IndexLink link = file.link(rank);
            if (link.parent == root_rank) return writer.add_link(root_rank, link.move);
            if (link.parent >= file.size()) file.fail("corrupted (a link that leads nowhere)");
            writer.add_link(new_rank[map_start[input] + link.parent], link.move);
        },
        [](std::size_t, std::uint64_t) {})) {
    }
    writer.finish(sum_inputs ? summary : given);
}

}  // namespace vorline
