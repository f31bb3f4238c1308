// Saved indexes of the 100 MB bench file: every way of building them answers the 200,000
// EPD lines of the reference data byte for byte as the direct run does, on one and two
// threads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/reference_data.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

TEST(IndexFilesOfRealGames, EveryWayOfBuildingAnswersAsTheDirectRun) {
    const std::string games = reference_file("games/bench.pgn");
    const std::string positions = reference_file("epd/popularpos_lichess_v3.epd");
    if (games.empty() || positions.empty()) GTEST_SKIP() << "reference data absent";
    TempDir dir;
    // The file cut into three at game boundaries.
    const std::string text = dir.read(games);
    const std::size_t first = text.find("\n[Event ", text.size() / 3) + 1;
    const std::size_t second = text.find("\n[Event ", 2 * text.size() / 3) + 1;
    dir.write("a.pgn", text.substr(0, first));
    dir.write("b.pgn", text.substr(first, second - first));
    dir.write("c.pgn", text.substr(second));
    fs::copy_file(positions, dir.file("pos.epd"));

    auto run = [&](std::vector<std::string> arguments) {
        const ProcessResult result = run_process(VORLINE_EXE, arguments, dir.path().string(), 600);
        EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
    };
    auto answer = [&](std::vector<std::string> arguments) {
        fs::remove(dir.file("out.pgn"));
        for (const char* more : {"-e", "pos.epd", "-o", "out.pgn"}) arguments.push_back(more);
        run(arguments);
        return dir.read("out.pgn") + "--- failed.epd\n" + dir.read("failed.epd");
    };
    for (const std::string threads : {"1", "2"}) {
        SCOPED_TRACE("-t " + threads);
        const std::string direct = answer({"-p", games, "-t", threads});
        run({"-p", games, "-w", "all.idx", "-t", threads});
        EXPECT_TRUE(answer({"-i", "all.idx"}) == direct);
        // 2 MiB hold about 49,000 positions: the 774,499 of the file make 16 spills.
        EXPECT_TRUE(answer({"-p", games, "-m", "2M", "-t", threads}) == direct);
        for (const std::string part : {"a", "b", "c"})
            run({"-p", part + ".pgn", "-w", part + ".idx", "-t", threads});
        EXPECT_TRUE(answer({"-i", "a.idx", "-i", "b.idx", "-i", "c.idx"}) == direct);
        run({"-i", "a.idx", "-i", "b.idx", "-i", "c.idx", "-w", "abc.idx"});
        EXPECT_TRUE(answer({"-i", "abc.idx"}) == direct);
    }
}

}  // namespace

}  // namespace vorline
