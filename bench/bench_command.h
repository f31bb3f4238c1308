// BenchRegistration: the subcommands of vorline-bench, and what their timings share.
#pragma once

#include <time.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vorline {

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

// Processor time, user and system, in seconds: of the whole process (all its threads), and
// of the calling thread alone. A pass timed by processor time is not slowed by waiting
// for a processor on a shared machine.
inline double processor_seconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}
inline double thread_processor_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

}  // namespace vorline
