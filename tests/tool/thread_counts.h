// ThreadCounts: runs of the tool with several thread counts, checked to write the same.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vorline {

// Runs vorline in `dir` with the arguments plus "-t 1", "-t 2", "-t 3", "-threads 8" and
// "-t 0" (the default) in turn, and expects each run to succeed and leave the same output
// file (`output`, in `dir`) and failed.epd, byte for byte. Returns the output of -t 1.
std::string expect_same_output_for_thread_counts(const TempDir& dir,
                                                 const std::vector<std::string>& arguments,
                                                 const std::string& output);

}  // namespace vorline
