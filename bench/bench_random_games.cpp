// vorline-bench random-games: writes games of random legal moves, for files with many
// distinct positions (repeating real games adds games but no positions).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_command.h"
#include "checks/random_games.h"

namespace vorline {

namespace {

int run(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::uint64_t megabytes = std::strtoull(argv[1], nullptr, 10);
    const int plies = argc > 2 ? std::atoi(argv[2]) : 80;
    const std::uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1;
    RandomGames games(seed);
    std::string text;
    std::uint64_t written = 0;
    while (written < megabytes << 20) {
        text.clear();
        for (int i = 0; i < 256; ++i) games.append_game(text, plies);
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) return 1;
        written += text.size();
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const BenchRegistration registration("random-games",
                                     "<megabytes> [plies per game, default 80] [seed] > games.pgn",
                                     run);

}  // namespace

}  // namespace vorline
