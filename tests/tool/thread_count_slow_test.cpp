// The first phase on several threads indexes 100 MB of real games exactly as one thread.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "thread_counts.h"

namespace vorline {

namespace {

// Popular positions of online games, most reached by many games and in many ways: the
// index must keep the first way in file order, and so write the same games.
TEST(ThreadCountSlow, RealGamesGiveTheSameOutputOnEveryThreadCount) {
    const std::string data = VORLINE_DATA_DIR;
    const std::string games = data + "/games/bench.pgn";
    const std::string positions = data + "/epd/popularpos_lichess_v3.epd";
    if (!std::filesystem::exists(games) || !std::filesystem::exists(positions)) GTEST_SKIP();
    TempDir dir;
    std::filesystem::create_symlink(positions, dir.file("pos.epd"));  // the output lands beside it
    const std::string output =
        expect_same_output_for_thread_counts(dir, {"-p", games, "-e", "pos.epd"}, "pos.pgn");
    EXPECT_GT(output.size(), 1000000u);
}

}  // namespace

}  // namespace vorline
