// IndexSpills: the first phase kept within a memory budget by writing the index out in parts.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "io/written_file.h"
#include "tool/index_file_set.h"
#include "tool/index_file_writer.h"
#include "tool/opening_index.h"

namespace vorline {

// The most positions an index may hold before it is written out so that its table, its
// nodes and what writing it takes fit in `budget` bytes; also below the node numbers' limit.
std::uint64_t positions_within(std::uint64_t budget);

// Between batches of games, an index that would outgrow its budget with the next batch is
// written, sorted by key, to a spill file (an index file of its own games, scratch: unlinked
// at once) and started afresh. Since spills only happen between games, each one is the index
// of a run of consecutive games, and the spills read in order answer as the whole does.
class IndexSpills {
public:
    IndexSpills(std::uint64_t budget, std::string folder, IndexSummary summary);

    // Spills `index` unless it has room for the steps of `lines` (the next to be recorded):
    // within the limit, and within the node numbers it has left. An empty index takes the
    // lines whatever their size (a batch of games holds far fewer steps than it has numbers).
    void make_room(OpeningIndex& index, std::span<const std::vector<OpeningStep>> lines,
                   const RunCounters& counters) {
        std::uint64_t steps = 0;
        for (const std::vector<OpeningStep>& line : lines) steps += line.size();
        if ((index.size() + steps > limit_ || steps > index.numbers_left()) && index.size() > 0)
            spill(index, counters);
    }
    // Writes `index` out as the next spill and empties it; its nodes are numbered from the
    // same first node again.
    void spill(OpeningIndex& index, const RunCounters& counters);

    bool any() const { return !files_.files().empty(); }
    const IndexFileSet& files() const { return files_; }
    std::uint64_t limit() const { return limit_; }
    void set_limit(std::uint64_t positions) { limit_ = positions; }

private:
    std::uint64_t limit_;
    std::string folder_;
    IndexSummary summary_;
    RunCounters counted_;  // the games in the spills so far
    std::vector<std::unique_ptr<WrittenFile>> written_;
    IndexFileSet files_;
};

}  // namespace vorline
