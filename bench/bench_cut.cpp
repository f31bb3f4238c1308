// vorline-bench cut <pgn file>: how fast PgnFile cuts a file into game texts, against plainly
// reading the same file in large blocks in the same invocation (the machine is shared, so
// only the ratio is worth quoting). Each side runs three times, alternating; the best counts.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_command.h"
#include "pgn/pgn_file.h"

namespace vorline {

namespace {

using Clock = std::chrono::steady_clock;

// Plain block reads of the file.
struct Pass {
    double seconds = 0;
    std::uint64_t bytes = 0;
};

Pass read_blocks(const std::string& path) {
    const auto start = Clock::now();
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(PgnFile::default_buffer_size);
    Pass pass;
    while (in.read(block.data(), std::streamsize(block.size())) || in.gcount() > 0)
        pass.bytes += std::uint64_t(in.gcount());
    pass.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return pass;
}

int bench_cut(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorline-bench cut <pgn file>\n");
        return 2;
    }
    const std::string path = argv[1];
    if (!std::ifstream(path)) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    Pass read{1e300};
    CutPass cut{1e300};
    for (int round = 0; round < 3; ++round) {
        const Pass r = read_blocks(path);
        if (r.seconds < read.seconds) read = r;
        const CutPass c = cut_pgn_file(path);
        if (c.seconds < cut.seconds) cut = c;
    }
    const double megabytes = double(read.bytes) / 1e6;
    std::printf("file:  %s, %.1f MB\n", path.c_str(), megabytes);
    std::printf("cut:   %llu games in %.3f s: %.0f games/s, %.1f MB/s\n",
                static_cast<unsigned long long>(cut.games), cut.seconds,
                double(cut.games) / cut.seconds, megabytes / cut.seconds);
    std::printf("read:  %.3f s: %.1f MB/s (reference: plain block reads)\n", read.seconds,
                megabytes / read.seconds);
    std::printf("ratio: cutting takes %.2fx the time of plain reading\n",
                cut.seconds / read.seconds);
    return 0;
}

const BenchRegistration registration("cut", "<pgn file>   cut a PGN file into game texts",
                                     bench_cut);

}  // namespace

}  // namespace vorline
