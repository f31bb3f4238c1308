// IndexingPipeline: the first phase on several threads, recorded in file order.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "board/attack_tables.h"
#include "pgn/pgn_file.h"
#include "tool/index_spills.h"
#include "tool/opening_index.h"
#include "tool/run_counters.h"

namespace vorline {

// The most threads a run uses, whatever it is asked for: each one keeps a few batches of
// game texts in flight, and beyond this the batches cost memory without adding speed.
inline constexpr unsigned max_index_threads = 256;

// Records the lines of consecutive games in order, the table slots of each line fetched
// two games ahead and the nodes they lead to one game ahead, so that the cache misses of
// the following games overlap with recording the current one.
void record_lines_in_order(OpeningIndex& index, std::span<const std::vector<OpeningStep>> lines);

// Indexes the first `depth` half moves of every game text of the opened input on `threads`
// threads (2 to max_index_threads): one cuts batches of game texts in file order, all of
// them play the openings of whole batches into steps, one records the batches in file
// order. So the index ends exactly as recording each game in turn on one thread leaves
// it, and only a bounded number of batches is ever in flight. Games are skipped and ended
// as OpeningPhases::build_index does, and counted in `counters` in file order, `progress`
// called every progress_period games; an exception of any stage ends the run and is rethrown.
// With `spills`, the index is spilled before a batch that would outgrow its budget.
void build_index_in_parallel(PgnFile& games, std::uint32_t depth, unsigned threads,
                             const AttackTables& tables, OpeningIndex& index, RunCounters& counters,
                             const std::function<void()>& progress, IndexSpills* spills = nullptr);

}  // namespace vorline
