// Index merge: saved indexes joined into one, as if their games were one file.
#pragma once

#include <span>
#include <string>

#include "io/written_file.h"
#include "tool/index_file.h"
#include "tool/index_file_writer.h"

namespace vorline {

// Writes to `output` the index of the games behind `inputs` read in order: every key of
// any input, with the entry of the first input that holds it, its parent found again among
// all keys. Each input is read front to back twice (keys, then links) and checked whole;
// the map from each input's ranks to the merged ranks (8 bytes a position) lies in a
// scratch file in `scratch_folder`. `summary` goes into the header; with `sum_inputs`, its
// counts of games and bytes and its input name are made from the inputs' instead. Checks
// for interruptions as it goes. Lets IndexFileError, OutputError and Interrupted through.
void merge_index_files(std::span<const IndexFile* const> inputs, IndexSummary summary,
                       bool sum_inputs, const std::string& scratch_folder, WrittenFile& output);

}  // namespace vorline
