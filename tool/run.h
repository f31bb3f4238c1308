#pragma once

#include <ostream>
#include <span>

// One run of the tool: scans the arguments (without the program name), checks the input
// files, indexes the games and answers the EPD lines. Progress and file errors go to
// `out`, usage errors to `err`, every line flushed at once. Returns the exit status:
// 0 after the help text or a complete run, -1 after any failure.
int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err);
