// vorline-bench answer <pgn file> <epd file> [depth]: the second phase of a run alone. The
// games are indexed once (untimed); then answering every line of the EPD file (looking the
// position up, walking back, writing the game or the failed line) is timed against just
// reading the EPD file's lines in the same invocation, best of three runs each in
// processor time (the machine is shared, so wall time says more about the neighbours).
// The outputs go to /dev/null.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_command.h"
#include "io/file_source.h"
#include "io/output_file.h"
#include "pgn/pgn_file.h"
#include "tool/epd_line.h"
#include "tool/opening_phases.h"

namespace vorline {

namespace {

// Reads every line of the EPD file as the second phase does, and nothing more.
double read_lines(const std::string& path, std::uint64_t& lines) {
    const double start = processor_seconds();
    const std::unique_ptr<FileSource> source = FileSource::open(path);
    EpdLineReader epd(*source);
    std::string_view line;
    lines = 0;
    while (epd.next(line)) ++lines;
    return processor_seconds() - start;
}

int bench_answer(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: vorline-bench answer <pgn file> <epd file> [depth]\n");
        return 2;
    }
    const std::string pgn_path = argv[1];
    const std::string epd_path = argv[2];
    const std::uint32_t depth = argc == 4 ? std::uint32_t(std::strtoul(argv[3], nullptr, 10)) : 24;
    if (!std::ifstream(pgn_path) || !std::ifstream(epd_path)) {
        std::fprintf(stderr, "cannot open %s or %s\n", pgn_path.c_str(), epd_path.c_str());
        return 1;
    }

    OpeningPhases phases;
    PgnFile games;
    games.open_read(pgn_path);
    phases.build_index(games, depth);
    games.close_read();

    std::uint64_t lines = 0;
    read_lines(epd_path, lines);  // the reference first, so that both find the file cached
    double reading = 1e9;
    double answering = 1e9;
    for (int run = 0; run < 3; ++run) {
        reading = std::min(reading, read_lines(epd_path, lines));
        const double start = processor_seconds();
        const std::unique_ptr<FileSource> source = FileSource::open(epd_path);
        EpdLineReader epd(*source);
        OutputFile failed;
        OutputFile output;
        failed.open("/dev/null");
        output.open("/dev/null");
        phases.answer_positions(epd, failed, output);
        failed.close();
        output.close();
        answering = std::min(answering, processor_seconds() - start);
    }

    std::printf("index:     %s, depth %u, %zu positions\n", pgn_path.c_str(), depth,
                phases.index().size());
    std::printf("answer:    %.3f s: %.0f lines/s (%llu lines of %s)\n", answering,
                double(lines) / answering, static_cast<unsigned long long>(lines),
                epd_path.c_str());
    std::printf("read:      %.3f s: %.0f lines/s (reference: reading the lines alone)\n", reading,
                double(lines) / reading);
    std::printf("ratio:     answering takes %.2fx the time of reading\n", answering / reading);
    return 0;
}

const BenchRegistration registration("answer", "<pgn file> <epd file> [depth]", bench_answer);

}  // namespace

}  // namespace vorline
