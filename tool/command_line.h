// Command line: the arguments read into a run's settings, usage errors and the help text.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tool/report_file.h"
#include "tool/run_input.h"

namespace vorline {

inline constexpr std::int32_t default_depth = 24;
inline constexpr std::string_view default_output_file_name = "openings.pgn";

inline constexpr std::string_view banner =
    "vorline: finds the opening moves that lead to EPD positions in a PGN file";

// The exit status of every failure but an interruption (the program's -1).
inline constexpr int failure_status = -1;

// What a run is asked to do, filled while the arguments are read. The inputs are open
// from the moment their option is met.
struct Settings {
    RunInput pgn;
    RunInput epd;
    std::int32_t depth = default_depth;
    std::int32_t threads = 0;                     // 0 or less: one per hardware thread
    std::optional<std::string> output_file_name;  // "-o"; else named after the EPD file
    bool line_tags = false;                       // "-l"
    ReportFile report;                            // "-r"; made when the option is met
    bool depth_given = false;                     // "-d" was met
    std::vector<std::string> index_files;         // "-i", in order: answer from saved indexes
    std::optional<std::string> write_index;       // "-w": save the index built or merged
    std::optional<std::uint64_t> memory_budget;   // "-m", in bytes
    std::optional<std::string> temporary_folder;  // "-T"
    // The failure that ended the run, as printed, and the system's reason, for the report.
    std::string failure;
    std::string failure_reason;
};

// Reads a size as "-m" takes it, like sort -S: a number with K, M, G or T for its unit
// (1024-based; b for bytes; K when none is given); none for anything else.
std::optional<std::uint64_t> read_memory_size(std::string_view value);

// Reads the arguments (without the program name) into `settings`. An option is told by
// its first two characters and takes the next argument as its value, which is still
// visited in its own turn; each input is checked when its option is met. Returns the exit
// status when the program ends here (after the help text, the version, a usage error or a
// file that cannot be opened, each with its message), none when the run goes on.
std::optional<int> read_command_line(std::span<const char* const> arguments, Settings& settings,
                                     std::ostream& out, std::ostream& err);

// The option list, each line ended by a line break, closed by the banner between empty lines.
std::string help_text();

// Reads the value of "-d" the way a text stream reads an int: leading white space, an
// optional sign, then digits; the rest is ignored. No digits give 0, a number beyond the
// 32-bit range gives the nearest limit, and an empty value leaves the depth as it was.
std::int32_t read_depth(std::string_view value, std::int32_t current);

// The output lies beside the EPD file and takes its name, with ".pgn" for the trailing
// "epd" and the character before it; any other EPD name gives "openings.pgn".
std::string output_file_name(std::string_view epd_file_name);

// Prints "<what><file name>" on `out` and returns the failure status.
int file_error(std::string_view what, std::string_view file_name, std::ostream& out);
// The same, and "<file name>: <reason>" on `err` after it; both are kept in `settings` for
// the report.
int file_error(std::string_view what, std::string_view file_name, std::string_view reason,
               Settings& settings, std::ostream& out, std::ostream& err);

}  // namespace vorline
