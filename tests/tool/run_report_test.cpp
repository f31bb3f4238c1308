// The progress line and the summary: their texts, and the real executable drawing them on a
// terminal and nowhere else.
#include "tool/run_report.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "support/process.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

TEST(RunReport, StatusTexts) {
    RunCounters counters;
    counters.games_read = 48512;
    const std::pair<std::string, std::string> rows[] = {
        {indexing_status(counters, {45'200'000, 100'000'000, 812345}, 0.5),
         "indexing: 45.2 of 100.0 MB (45%), 48,512 games, 812,345 positions, 97,024 games/s, "
         "0.61 s left"},
        {indexing_status(counters, {12'345'000'000, 20'000'000'000, 7}, 4000),
         "indexing: 12.3 of 20.0 GB (61%), 48,512 games, 7 positions, 12 games/s, 41:20 left"},
        {indexing_status(counters, {45'200'000, {}, 0}, 0),  // a pipe, at the start
         "indexing: 45.2 MB, 48,512 games, 0 positions"},
        {indexing_status(counters, {{}, 100'000'000, 0}, 1),  // bytes not counted
         "indexing: 48,512 games, 0 positions, 48,512 games/s"},
        {duration_text(3725), "1:02:05"},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(text, expected);
}

// Games of four kinds (indexed, indexed, skipped for a FEN tag, stopped by an illegal move)
// and EPD lines found and not found, 4,100 of each: the phases report at the 4,096th.
std::string repeated(const std::string& texts, int times) {
    std::string all;
    while (times-- > 0) all += texts;
    return all;
}
const std::string games = repeated(
    "[Round \"1\"]\n\n1. e4 e5 *\n\n[Round \"2\"]\n\n1. d4 d5 *\n\n"
    "[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n\n1. Kb2 *\n\n[Round \"4\"]\n\n1. e4 Ke7 *\n\n",
    1025);
const std::string epd = repeated(
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -\n8/8/8/8/8/8/8/8 w - -\n", 2050);

// The inputs come through named pipes, so that each phase reaches its 4,096th game or line
// only after the progress line's first quarter second, however fast the machine.
TEST(RunReport, ProgressAndSummaryAppearOnATerminalOnly) {
    const TempDir piped, plain;
    int writers[2];
    for (int i = 0; i < 2; ++i) {
        const std::string fifo = piped.file(i == 0 ? "games.pgn" : "pos.epd");
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        writers[i] = open(fifo.c_str(), O_RDWR | O_CLOEXEC);  // open, without a reader yet
        ASSERT_GE(writers[i], 0);
    }
    std::thread feeder([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!piped.exists("pos.pgn") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (int i = 0; i < 2; ++i) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            std::FILE* pipe = fdopen(writers[i], "w");
            std::fwrite((i == 0 ? games : epd).data(), 1, (i == 0 ? games : epd).size(), pipe);
            std::fclose(pipe);
        }
    });
    PseudoTerminal terminal;
    const std::vector<std::string> arguments{"-p", "games.pgn", "-e", "pos.epd"};
    const ProcessResult on_terminal = Process(VORLINE_EXE, arguments, piped.path().string(),
                                              {.error_descriptor = terminal.slave()})
                                          .wait();
    feeder.join();
    const std::string screen = terminal.take();

    plain.write("games.pgn", games);
    plain.write("pos.epd", epd);
    const ProcessResult on_file = run_process(VORLINE_EXE, arguments, plain.path().string());
    EXPECT_EQ(std::tie(on_file.exit_status, on_file.out, on_file.err),
              std::make_tuple(0, "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n", ""));
    EXPECT_EQ(std::tie(on_terminal.exit_status, on_terminal.out),
              std::tie(on_file.exit_status, on_file.out));
    for (const char* file : {"pos.pgn", "failed.epd"})
        EXPECT_EQ(piped.read(file), plain.read(file));

    // One drawing per phase, each cleared before what follows, then the summary.
    const std::string answering =
        "\x1b[K\r\x1b[K\ranswering: 4,096 lines, 2,048 found, 2,048 not found\x1b[K\r\x1b[K";
    const std::size_t end = screen.find(answering);
    ASSERT_NE(end, std::string::npos) << testing::PrintToString(screen);
    const std::string indexing = screen.substr(0, end),
                      summary = screen.substr(end + answering.size());
    EXPECT_TRUE(indexing.starts_with("\rindexing: ") && indexing.ends_with(" games/s") &&
                indexing.find("4,096 games, 4 positions, ") != std::string::npos &&
                indexing.find('\r', 1) == std::string::npos)
        << testing::PrintToString(indexing);
    EXPECT_EQ(summary.substr(0, summary.find("time taken:")),
              "games read:            4,100\n"
              "skipped for FEN:       1,025\n"
              "stopped at a bad move: 1,025\n"
              "positions indexed:     4\n"
              "EPD lines found:       2,050\n"
              "EPD lines not found:   2,050\n");
    EXPECT_TRUE(summary.ends_with(" s\noutput file:           pos.pgn\n")) << summary;
}

}  // namespace

}  // namespace vorline
