// vorline-bench perft "<FEN>" <depth>: leaf count and speed of legal-move generation with
// make and unmake. vorline-bench perft [all [perft.txt]]: checks the deeper reference lines.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_command.h"
#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/perft.h"

namespace vorline {

namespace {

struct Timed {
    std::uint64_t nodes;
    double seconds;
};

Timed timed_perft(ChessPosition& position, int depth) {
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t nodes = perft(position, depth);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {nodes, elapsed.count()};
}

// Lines with more nodes than this are left to this command; the unit tests run the rest.
constexpr std::uint64_t deep_line = 5'000'000;

int check_reference_file(const std::string& path) {
    const std::vector<PerftLine> lines = read_perft_lines(path);
    if (lines.empty()) {
        std::fprintf(stderr, "perft: cannot read %s\n", path.c_str());
        return 2;
    }
    AttackTables tables;
    ChessPosition position(tables);
    int failures = 0;
    std::uint64_t total_nodes = 0;
    double total_seconds = 0;
    for (const PerftLine& line : lines) {
        if (line.nodes <= deep_line) continue;
        position.fen(line.fen);
        const Timed run = timed_perft(position, line.depth);
        total_nodes += run.nodes;
        total_seconds += run.seconds;
        const bool ok = run.nodes == line.nodes;
        failures += ok ? 0 : 1;
        std::printf("%s  %s depth %d: %llu (expected %llu), %.1f Mnodes/s\n", ok ? "ok  " : "FAIL",
                    line.fen.c_str(), line.depth, static_cast<unsigned long long>(run.nodes),
                    static_cast<unsigned long long>(line.nodes), run.nodes / run.seconds / 1e6);
        std::fflush(stdout);
    }
    std::printf("%s: %llu nodes in %.2f s, %.1f Mnodes/s\n",
                failures ? "FAILED" : "all deep lines agree",
                static_cast<unsigned long long>(total_nodes), total_seconds,
                total_seconds > 0 ? total_nodes / total_seconds / 1e6 : 0.0);
    return failures ? 1 : 0;
}

std::string default_reference_file() {
    return (std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "shared" / "data" /
            "perft.txt")
        .lexically_normal()
        .string();
}

int run_perft(int argc, char** argv) {
    try {
        if (argc < 2 || std::string(argv[1]) == "all")
            return check_reference_file(argc >= 3 ? argv[2] : default_reference_file());
        if (argc < 3) {
            std::fprintf(stderr, "usage: vorline-bench perft \"<FEN>\" <depth>\n");
            return 2;
        }
        const int depth = std::atoi(argv[2]);
        AttackTables tables;
        ChessPosition position(tables);
        position.fen(argv[1]);
        const Timed run = timed_perft(position, depth);
        std::printf("nodes %llu\nseconds %.3f\nnodes_per_second %.0f\n",
                    static_cast<unsigned long long>(run.nodes), run.seconds,
                    run.seconds > 0 ? run.nodes / run.seconds : 0.0);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "perft: %s\n", e.what());
        return 2;
    }
}

const BenchRegistration registration("perft", "[\"<FEN>\" <depth> | all [perft.txt]]", run_perft);

}  // namespace

}  // namespace vorline
