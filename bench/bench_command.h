#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A subcommand of vorline-bench. Each bench_*.cpp file defines one and registers it
// with a static BenchRegistration; main() dispatches on the first argument.
using BenchFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand name

struct BenchRegistration {
    BenchRegistration(std::string_view name, std::string_view usage, BenchFunction run);
};

// Cutting a PGN file into game texts with PgnFile and nothing more: the reference the
// reading benches are timed against in the same run.
struct CutPass {
    double seconds = 0;
    std::uint64_t games = 0;
    std::uint64_t bytes = 0;  // bytes of game texts
};
CutPass cut_pgn_file(const std::string& path);
