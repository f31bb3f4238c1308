#include "tool/index_spills.h"

#include <algorithm>
#include <utility>

#include "io/output_file.h"
#include "tool/index_file_writer.h"

namespace vorline {

std::uint64_t positions_within(std::uint64_t budget) {
    // Per position: 12 bytes of node, and while it is written 16 bytes of sorted entry and
    // 4 of rank; the table, of a power of two of 8-byte slots, holds at most three quarters
    // of its slots. The best table size is the one that lets the most positions in.
    constexpr std::uint64_t per_position = 12 + 16 + 4;
    std::uint64_t best = 0;
    for (unsigned bits = 12; bits < 40; ++bits) {
        const std::uint64_t table = (std::uint64_t{8} << bits);
        if (table >= budget) break;
        const std::uint64_t held = 3 * (std::uint64_t{1} << bits) / 4;
        best = std::max(best, std::min(held, (budget - table) / per_position));
    }
    // Node numbers are 32 bits wide, one of them standing for the initial position.
    constexpr std::uint64_t most_nodes = (std::uint64_t{1} << 32) - 2;
    return std::max<std::uint64_t>(1, std::min(best, most_nodes));
}

IndexSpills::IndexSpills(std::uint64_t budget, std::string folder, IndexSummary summary)
    : limit_(positions_within(budget)), folder_(std::move(folder)), summary_(std::move(summary)) {}

void IndexSpills::spill(OpeningIndex& index, const RunCounters& counters) {
    const std::string name = folder_ + "/vorline spill " + std::to_string(written_.size() + 1);
    auto file = std::make_unique<WrittenFile>();
    if (!file->create_scratch(folder_, name)) throw OutputError(name, "cannot be created");
    IndexSummary summary = summary_;
    summary.games.games_read = counters.games_read - counted_.games_read;
    summary.games.games_skipped_for_fen =
        counters.games_skipped_for_fen - counted_.games_skipped_for_fen;
    summary.games.games_stopped_early = counters.games_stopped_early - counted_.games_stopped_early;
    counted_ = counters;
    write_index_file(index, summary, *file);
    file->finish_writing();
    // The memory goes back before the spill is read.
    index = OpeningIndex(index.root_key(), index.first_node());
    // The size it grew to, at once.
    index.reserve(static_cast<std::size_t>(std::min(limit_, index.numbers_left())));
    auto spilled = std::make_unique<IndexFile>();
    spilled->open(name, file->descriptor());
    files_.add(std::move(spilled));
    written_.push_back(std::move(file));
}

}  // namespace vorline
