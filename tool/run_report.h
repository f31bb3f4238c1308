// Run report: the texts of the progress line and of the summary at the end of a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tool/run_counters.h"

namespace vorline {

// Where the first phase stands: the bytes of the PGN file read so far (when they are
// counted), of its size when it is known (not for a pipe), and the index's size.
struct IndexingState {
    std::optional<std::uint64_t> bytes_read;
    std::optional<std::uint64_t> total_bytes;
    std::uint64_t positions = 0;
};

// "indexing: 45.2 of 100.0 MB (45%), 48,512 games, 812,345 positions, 95,310 games/s, 0:01
// left"; without a known size only the megabytes read, and no time left; without a count of
// bytes, no sizes at all.
std::string indexing_status(const RunCounters& counters, const IndexingState& state,
                            double seconds);

// "answering: 120,000 lines, 110,000 found, 10,000 not found".
std::string answering_status(const RunCounters& counters);
// The same after the share of the EPD file read, when its bytes are counted and its size
// is known: "answering: 1.2 of 10.0 MB (12%), 120,000 lines, ...".
std::string answering_status(const RunCounters& counters, std::optional<std::uint64_t> bytes_read,
                             std::optional<std::uint64_t> total_bytes);

// What a complete run's counts suggest, one sentence each: lines not found whose move number
// lies beyond the depth (how many, and the depth that covers them), and an index that
// holds no position. `depth` is the run's, as given (negative: unlimited).
std::vector<std::string> run_hints(const RunCounters& counters, std::uint64_t positions,
                                   std::int32_t depth);

// The summary of a complete run, one "label: value" line per count, each ended by a line
// feed.
std::string run_summary(const RunCounters& counters, std::uint64_t positions, double seconds,
                        std::string_view output_file_name);

// 1234567 as "1,234,567".
std::string with_thousands(std::uint64_t number);
// A duration as "0.62 s" under a minute, else as "m:ss" or "h:mm:ss".
std::string duration_text(double seconds);

}  // namespace vorline
