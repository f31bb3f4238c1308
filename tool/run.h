// run_vorline: one whole run of the tool, from the arguments to the exit status.
#pragma once

#include <ostream>
#include <span>

namespace vorline {

// One run of the tool: scans the arguments (without the program name), checks the input
// files, indexes the games and answers the EPD lines. Progress and file errors go to
// `out`, usage errors and the reasons of files that cannot be opened to `err`, every line
// flushed at once. Returns the exit status: 0 after the help text, the version or a
// complete run, 128 + the signal after an interruption, -1 after any other failure. With
// "-r", the report of the run is written whatever its outcome. When `terminal` is the
// descriptor of a terminal (standard error's, given by the program), a progress line is
// redrawn there while the phases work and a summary with its hints follows a complete
// run; any other descriptor, or -1, gets nothing. `out_descriptor` is the descriptor `out`
// writes to (standard output's, given by the program): when the output file is that very
// file or pipe, progress and file errors go to `err` instead, so that the games stay apart.
int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err,
                int terminal = -1, int out_descriptor = -1);

}  // namespace vorline
