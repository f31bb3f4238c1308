// The run under faults of the machine: memory running out, read errors, pipes, two runs at
// once, a full disk, outputs that are inputs, signals. Each case makes the fault happen for
// real against the built executable and checks the status, the message and that every EPD
// line is in the output, in failed.epd, or still in an EPD file that was not touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"
#include "checks/random_games.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/tool_run.h"
#include "tool/tool_run_texts.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

// Random legal games from the initial position, written as PGN: about `plies` new
// positions each.
std::string random_games(int count, int plies) { return RandomGames(1).games(count, plies); }

class Faults : public ToolRun {
protected:
    void SetUp() override {
        dir.write("games.pgn", games);
        dir.write("pos.epd", epd_lines(6));
        dir.write("pos.pgn", earlier_output);
    }
    // A failed run: its status and last message, no "Finished!", the output as it was and
    // the EPD file untouched.
    void expect_failed(const ProcessResult& result, int status, const std::string& last_line,
                       const std::string& epd = "pos.epd",
                       const std::string& epd_text = epd_lines(6)) const {
        EXPECT_EQ(result.exit_status, status) << result.out << result.err;
        EXPECT_TRUE(result.out.ends_with(last_line + "\n")) << result.out;
        EXPECT_EQ(result.out.find("Finished!"), std::string::npos);
        EXPECT_EQ(dir.read("pos.pgn"), earlier_output);
        EXPECT_EQ(dir.read(epd), epd_text);
    }
    // Runs with slow reads of `slow_file` and sends `signal` once standard output holds `phase`.
    ProcessResult interrupt(const std::vector<std::string>& arguments, const std::string& slow_file,
                            const std::string& phase, int signal) const {
        Process run = start(arguments, troubled(slow_file, -1));
        EXPECT_TRUE(run.wait_for_output(phase));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        run.send(signal);
        return run.wait();
    }
    // A complete run of the six lines of pos.epd: three games after the earlier one, three
    // lines in failed.epd.
    void expect_finished(const ProcessResult& result) const {
        EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
        EXPECT_TRUE(result.out.ends_with("Finished!\n")) << result.out;
        EXPECT_EQ(dir.read("pos.pgn"), earlier_output + found_game + found_game + found_game);
        EXPECT_EQ(dir.read("failed.epd"), unfound + unfound + unfound);
    }
    // 8 MB above the smallest address-space limit (in steps of 4 MB) under which the tool
    // finishes a small run, so that little more fits.
    ProcessOptions tight_memory() const {
        ProcessOptions options{.memory_limit = 16ul << 20};
        while (vorline({"-p", "games.pgn", "-e", "pos.epd"}, options).exit_status != 0)
            options.memory_limit += 4ul << 20;
        dir.write("pos.pgn", earlier_output);
        options.memory_limit += 8ul << 20;
        return options;
    }
};

constexpr const char* sanitized = "the sanitizer reserves more address space than any limit";

TEST_F(Faults, MemoryRunningOutWhileIndexingEndsTheRun) {
    if (VORLINE_SANITIZED) GTEST_SKIP() << sanitized;
    const ProcessOptions options = tight_memory();
    dir.write("big.pgn", random_games(40000, 24));  // about a million positions, 28 MB of index
    expect_failed(vorline({"-p", "big.pgn", "-e", "pos.epd"}, options), failed,
                  "Out of memory while indexing big.pgn");
}

TEST_F(Faults, EpdLineTooBigForMemoryEndsTheRun) {
    if (VORLINE_SANITIZED) GTEST_SKIP() << sanitized;
    expect_failed(vorline({"-p", "games.pgn", "-e", "/dev/zero"}, tight_memory()), failed,
                  "Out of memory while answering /dev/zero");
}

TEST_F(Faults, ReadErrorIsNotAnEndOfFile) {
    dir.write("pos.epd", epd_lines(20000));
    expect_failed(vorline({"-p", "games.pgn", "-e", "pos.epd"}, troubled("pos.epd", 100000)),
                  failed, "Error while reading pos.epd", "pos.epd", epd_lines(20000));
    dir.write("pos.epd", epd_lines(6));
    dir.write("games.pgn", games + random_games(2000, 10));
    expect_failed(vorline({"-p", "games.pgn", "-e", "pos.epd"}, troubled("games.pgn", 50000)),
                  failed, "Error while reading games.pgn");
}

// Rerunning last run's misses replaces failed.epd (or the link of that name) only when
// the run is complete.
TEST_F(Faults, InterruptedRerunOfFailedEpdKeepsItsLines) {
    fs::create_symlink("pos.epd", dir.path() / "failed.epd");
    expect_finished(vorline({"-p", "games.pgn", "-e", "pos.epd"}));
    EXPECT_EQ(dir.read("pos.epd"), epd_lines(6));
    EXPECT_FALSE(fs::is_symlink(dir.path() / "failed.epd"));
    dir.write("failed.epd", epd_lines(400));
    dir.write("failed.pgn", earlier_output);
    dir.write("pos.pgn", earlier_output);
    expect_failed(
        interrupt({"-p", "games.pgn", "-e", "failed.epd"}, "failed.epd", "writing", SIGINT),
        128 + SIGINT, "Interrupted", "failed.epd", epd_lines(400));
    EXPECT_EQ(dir.read("failed.pgn"), earlier_output);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);
}

// Each writer's open of its pipe waits until the tool opens it for reading; the tool must
// read each pipe once.
TEST_F(Faults, NamedPipesAreReadOnce) {
    ASSERT_EQ(mkfifo(dir.file("games.fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(dir.file("pos.fifo").c_str(), 0600), 0);
    dir.write("pos.txt", epd_lines(6));
    Process games_writer("/bin/sh", {"-c", "exec cat games.pgn > games.fifo"}, dir.path().string()),
        epd_writer("/bin/sh", {"-c", "exec cat pos.txt > pos.fifo"}, dir.path().string());
    const ProcessResult result =
        vorline({"-p", "games.fifo", "-e", "pos.fifo"}, {.time_limit_seconds = 20});
    EXPECT_EQ(result.out, "reading games.fifo ...\nwriting openings.pgn ...\nFinished!\n");
    EXPECT_EQ(dir.read("failed.epd"), unfound + unfound + unfound);
    EXPECT_EQ(games_writer.wait().exit_status, 0);
    EXPECT_EQ(epd_writer.wait().exit_status, 0);
}

TEST_F(Faults, SecondRunAtOnceStopsWithoutWriting) {
    dir.write("games.pgn", games + random_games(300, 10));
    dir.write("b.epd", found);
    Process first = start({"-p", "games.pgn", "-e", "pos.epd"}, troubled("games.pgn", -1));
    ASSERT_TRUE(first.wait_for_output("reading games.pgn ...\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const ProcessResult second = vorline({"-p", "games.pgn", "-e", "b.epd"});
    EXPECT_EQ(second.exit_status, failed);
    EXPECT_EQ(second.out, "reading games.pgn ...\nFile in use by another run: failed.epd\n");
    EXPECT_EQ(dir.read("b.pgn"), "");
    expect_finished(first.wait());
}

TEST_F(Faults, FullDiskLeavesTheOutputAsItWas) {
    expect_failed(vorline({"-p", "games.pgn", "-e", "pos.epd"},
                          {.file_size_limit = earlier_output.size() + 100}),
                  failed, "Error while writing pos.pgn");
}

// Both outputs are opened, and checked, before the games are read.
TEST_F(Faults, UnwritableOutputsAreFoundBeforeTheGamesAreRead) {
    dir.write("out.epd", found);
    for (const std::string blocked : {"failed.epd", "out.pgn"}) {
        fs::create_directory(dir.path() / blocked);
        const ProcessResult result =
            vorline({"-p", "games.pgn", "-e", blocked == "out.pgn" ? "out.epd" : "pos.epd"});
        expect_failed(result, failed, "Error while opening " + blocked);
        EXPECT_EQ(result.out, "reading games.pgn ...\nError while opening " + blocked + "\n");
        EXPECT_EQ(result.err, blocked + ": Is a directory\n");
    }
}

TEST_F(Faults, OutputThatIsAnInputStopsTheRun) {
    dir.write("mydb.pgn", games);
    dir.write("mydb.epd", epd_lines(6));
    dir.write("openings.pgn", epd_lines(6));
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink("../pos.pgn", dir.path() / "sub" / "link.pgn");
    const std::vector<std::vector<std::string>> runs = {{"-p", "mydb.pgn", "-e", "mydb.epd"},
                                                        {"-p", "games.pgn", "-e", "openings.pgn"},
                                                        {"-p", "./sub/link.pgn", "-e", "pos.epd"},
                                                        {"-p", "games.pgn", "-e", "failed.epd"}};
    dir.write("failed.epd", "");
    fs::create_symlink("games.pgn", dir.path() / "failed.pgn");
    for (const auto& arguments : runs) {
        SCOPED_TRACE(arguments[1] + " " + arguments[3]);
        const ProcessResult result = vorline(arguments);
        EXPECT_EQ(result.exit_status, failed);
        EXPECT_NE(result.out.find("is an input file"), std::string::npos) << result.out;
    }
    EXPECT_EQ(dir.read("mydb.pgn"), games);
    EXPECT_EQ(dir.read("games.pgn"), games);
    EXPECT_EQ(dir.read("openings.pgn"), epd_lines(6));
    EXPECT_EQ(dir.read("pos.pgn"), earlier_output);
}

// A position the FEN reader accepts with 279 legal moves, more than any reachable one.
TEST_F(Faults, NoPositionOverrunsAMoveList) {
    const AttackTables tables;
    ChessPosition position(tables);
    position.fen("QQQQQQQk/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/Q6Q/KQQQQQQQ w - - 0 1");
    struct Guarded {
        MoveList list;
        std::array<std::uint32_t, 256> guard;
    } guarded;
    guarded.guard.fill(0x5A5A5A5A);
    position.generate_legal_moves(guarded.list);
    EXPECT_EQ(guarded.list.size(), 279u);
    for (std::uint32_t word : guarded.guard)
        ASSERT_EQ(word, 0x5A5A5A5Au) << "written past the list";
}

TEST_F(Faults, ByteOrderMarkBeforeTheFirstEpdLine) {
    dir.write("pos.epd", "\xEF\xBB\xBF" + epd_lines(6));
    expect_finished(vorline({"-p", "games.pgn", "-e", "pos.epd"}));
}

TEST_F(Faults, SignalsStopTheRunBetweenGamesOrLines) {
    dir.write("games.pgn", games + random_games(300, 10));
    dir.write("pos.epd", epd_lines(2000));
    for (const auto& [signal, slow, phase] :
         {std::tuple{SIGINT, "games.pgn", "reading"}, std::tuple{SIGTERM, "pos.epd", "writing"}}) {
        SCOPED_TRACE(phase);
        expect_failed(interrupt({"-p", "games.pgn", "-e", "pos.epd"}, slow, phase, signal),
                      128 + signal, "Interrupted", "pos.epd", epd_lines(2000));
        const std::string failed_lines = dir.read("failed.epd");
        EXPECT_TRUE(failed_lines.empty() || failed_lines.ends_with("\n"));
    }
}

}  // namespace

}  // namespace vorline
