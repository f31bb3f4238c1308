// Index runs: the parts of a run that read, write and merge saved indexes.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "io/written_file.h"
#include "tool/command_line.h"
#include "tool/index_file_set.h"
#include "tool/index_file_writer.h"
#include "tool/index_spills.h"

namespace vorline {

// Where scratch files go: "-T", else the folder of the "-w" file, else $TMPDIR or /tmp.
std::string scratch_folder(const Settings& settings);

// Opens the "-i" files in order and checks that their depths agree with each other and
// with "-d" (which takes the files' depth when not given). Returns 0, or the failure
// status after printing what is wrong.
int open_index_files(Settings& settings, IndexFileSet& indexes, std::ostream& out);

// Checks that the "-w" file is none of the games or EPD inputs. Returns 0 or the failure
// status after printing why.
int check_index_target(const Settings& settings, std::ostream& out);

// Prints "Problem with index file <name>: <what is wrong>" and returns the failure status.
int index_file_problem(const IndexFileError& error, std::ostream& out);

// The summary written into the index of a run's games, of which `input_bytes` were read.
IndexSummary games_summary(const Settings& settings, std::uint64_t root_key,
                           const RunCounters& counters, std::uint64_t input_bytes);

// The counts of games that an index file's header holds.
inline RunCounters summary_counters(const IndexHeader& header) {
    RunCounters counters;
    counters.games_read = header.games_read;
    counters.games_skipped_for_fen = header.games_skipped_for_fen;
    counters.games_stopped_early = header.games_stopped_early;
    return counters;
}

// Writes `merged` (spills or "-i" files, in order) into `target` as one index, with the
// inputs' counts summed when `sum_inputs`, else those of `summary`. Returns the file,
// opened for reading.
std::unique_ptr<IndexFile> merge_into_file(const IndexFileSet& merged, const IndexSummary& summary,
                                           bool sum_inputs, const std::string& scratch,
                                           WrittenFile& target);

}  // namespace vorline
