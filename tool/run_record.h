// RunRecord: the facts of one run, gathered for its report, and the report's JSON text.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tool/run_counters.h"

namespace vorline {

struct Settings;

// An input as the report names it.
struct InputRecord {
    std::string name;
    std::optional<std::uint64_t> size;       // of a regular file
    std::optional<std::string> compression;  // "none", "zstd", ...; told for a regular file
};

// The output games' file as the run found and left it.
struct OutputRecord {
    std::string name;
    bool created = false;  // absent before the run, else appended to
    std::uint64_t bytes_before = 0;
    std::optional<std::uint64_t> games_before;  // known when the file was new or empty
    std::uint64_t games_added = 0;
};

// Filled as the run goes; what the run never reached stays empty and reads as null.
struct RunRecord {
    std::vector<std::string> arguments;
    std::optional<InputRecord> pgn;
    std::optional<InputRecord> epd;
    std::int32_t depth = 0;
    std::optional<unsigned> threads;  // those that indexed the games
    bool phases_ran = false;          // the counts below hold what the phases did
    RunCounters counters;
    std::uint64_t positions = 0;
    std::optional<OutputRecord> output;
    std::optional<std::string> failed_epd;
    double seconds = 0;
    std::string outcome;  // "finished", "interrupted", or the failure's message
    std::optional<std::string> reason;
    int exit_status = 0;
    std::vector<std::string> hints;

    // Takes the arguments, the inputs, the depth and the outputs' names from the settings.
    void take_settings(const Settings& settings);
};

// The report: one JSON object, its members in a fixed order, ended by a line feed.
std::string report_json(const RunRecord& record);

// Completes the record of a run that ended with `status` from its settings and writes the
// report where "-r" sends it; returns the status to end with. A report that cannot be
// written fails the run ("Error while writing <name>" on `out`), and one whose target is an
// input is never written.
int write_report(Settings& settings, RunRecord& record, int status, double seconds,
                 std::ostream& out, std::ostream& err);

}  // namespace vorline
