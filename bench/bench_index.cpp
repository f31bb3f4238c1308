// vorline-bench index <pgn file> [depth] [threads]: the first phase of a run alone (reading
// every game and indexing the positions of its opening, on one thread unless told
// otherwise), against just cutting the same file into game texts in the same invocation,
// with the index's size and the peak memory of the process.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/bench_command.h"
#include "pgn/pgn_file.h"
#include "tool/opening_phases.h"

namespace vorline {

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Peak resident memory of the process so far, in bytes (Linux reports kilobytes).
std::uint64_t peak_memory() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::uint64_t(usage.ru_maxrss) * 1024;
}

int bench_index(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: vorline-bench index <pgn file> [depth] [threads]\n");
        return 2;
    }
    const std::string path = argv[1];
    const std::uint32_t depth = argc >= 3 ? std::uint32_t(std::strtoul(argv[2], nullptr, 10)) : 24;
    const unsigned threads =
        argc >= 4 ? unsigned(std::max(1L, std::strtol(argv[3], nullptr, 10))) : 1;
    std::ifstream probe(path, std::ios::binary | std::ios::ate);
    if (!probe) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    const auto bytes = static_cast<std::uint64_t>(probe.tellg());
    const double megabytes = double(bytes) / 1e6;

    // The reference first, so that both passes find the file in the page cache.
    cut_pgn_file(path);
    const double cut_start = processor_seconds();
    const CutPass cut = cut_pgn_file(path);
    const double cut_processor = processor_seconds() - cut_start;

    const std::uint64_t memory_before = peak_memory();
    const auto start = Clock::now();
    const double processor_start = processor_seconds();
    OpeningPhases phases;
    phases.expect_input_size(bytes, depth);  // as a run does
    PgnFile games;
    games.open_read(path);
    phases.build_index(games, depth, threads);
    const double seconds = seconds_since(start);
    const double processor = processor_seconds() - processor_start;
    const std::uint64_t memory_after = peak_memory();

    const OpeningIndex& index = phases.index();
    const double positions = double(index.size());
    const double per_position = positions > 0 ? 1.0 / positions : 0.0;
    std::printf("file:      %s, %.1f MB, %llu games, depth %u, %u thread%s\n", path.c_str(),
                megabytes, static_cast<unsigned long long>(cut.games), depth, threads,
                threads == 1 ? "" : "s");
    std::printf("index:     %.3f s: %.0f games/s, %.1f MB/s\n", seconds,
                double(cut.games) / seconds, megabytes / seconds);
    std::printf("cut:       %.3f s: %.0f games/s, %.1f MB/s (reference: cutting alone)\n",
                cut.seconds, double(cut.games) / cut.seconds, megabytes / cut.seconds);
    std::printf(
        "ratio:     indexing takes %.2fx the time of cutting (%.2fx in processor time: "
        "%.3f s against %.3f s)\n",
        seconds / cut.seconds, processor / cut_processor, processor, cut_processor);
    std::printf("positions: %zu indexed\n", index.size());
    std::printf(
        "memory:    index %.1f MB (%.1f bytes/position); peak %.1f MB, "
        "%.1f MB above the peak before indexing (%.1f bytes/position)\n",
        double(index.memory_bytes()) / 1e6, double(index.memory_bytes()) * per_position,
        double(memory_after) / 1e6, double(memory_after - memory_before) / 1e6,
        double(memory_after - memory_before) * per_position);
    return 0;
}

const BenchRegistration registration("index", "<pgn file> [depth] [threads]", bench_index);

}  // namespace

}  // namespace vorline
