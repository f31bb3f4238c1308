// Runs the real vorline executable in a fresh directory and checks what it prints, its exit
// status and the files it leaves.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/command_line.h"

namespace {

constexpr int failed = 255;  // the tool's -1 as a parent process sees it

const std::string games =
    "[Event \"A\"]\n[Site \"?\"]\n[Date \"2024.01.01\"]\n[Round \"1\"]\n[White \"W\"]\n"
    "[Black \"B\"]\n[Result \"1-0\"]\n\n1. d4 d5 2. c4 e6 3. Nc3 Nf6 1-0\n\n"
    "[Event \"B\"]\n[Result \"*\"]\n\n1. e4 c5 {Sicilian} 2. Nf3 (2. c3) d6 *\n\n";

// Positions that no game reaches: the lines all go to "failed.epd", CRLF, an empty line,
// trailing spaces and a last line without a line break included.
const std::string unfound_epd =
    "8/8/8/4k3/8/8/3QK3/8 w - - bm Qd5; id \"mate.1\";\r\n"
    "\r\n"
    "8/8/8/8/8/8/6k1/4K2R w K - 0 1  \n"
    "r1b1k2r/ppppqppp/2n2n2/8/8/8/PPPP1PPP/RNBQKB1R b KQkq -";
const std::string unfound_failed =
    "8/8/8/4k3/8/8/3QK3/8 w - - bm Qd5; id \"mate.1\";\n"
    "\n"
    "8/8/8/8/8/8/6k1/4K2R w K - 0 1  \n"
    "r1b1k2r/ppppqppp/2n2n2/8/8/8/PPPP1PPP/RNBQKB1R b KQkq -\n";

// Positions of the games above (after 1. d4 and after 1. e4 c5 2. Nf3).
const std::string found_epd =
    "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq -\n"
    "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2\n";

const std::string complete_run = "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n";
const std::string missing_pgn = "Missing pgn file\nType 'vorline -h' for help\n";
const std::string missing_epd = "Missing epd file\nType 'vorline -h' for help\n";

class VorlineRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("games.pgn", games);
        dir.write("pos.epd", unfound_epd);
    }
    ProcessResult vorline(const std::vector<std::string>& arguments) {
        return run_process(VORLINE_EXE, arguments, dir.path().string());
    }
    void expect(const ProcessResult& result, int status, const std::string& out,
                const std::string& err = "") {
        EXPECT_EQ(result.exit_status, status);
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, err);
    }
    TempDir dir;
};

TEST_F(VorlineRun, WithoutArgumentsAsksForThePgnFile) {
    expect(vorline({}), failed, std::string(banner) + "\n", missing_pgn);
    expect(vorline({"stray", "-x"}), failed, std::string(banner) + "\n", missing_pgn);
    expect(vorline({"-e", "pos.epd"}), failed, std::string(banner) + "\n", missing_pgn);
}

TEST_F(VorlineRun, PgnFileAloneAsksForTheEpdFile) {
    expect(vorline({"-p", "games.pgn"}), failed, std::string(banner) + "\n", missing_epd);
    expect(vorline({"-p", "games.pgn", "-d", "5"}), failed, std::string(banner) + "\n",
           missing_epd);
}

TEST_F(VorlineRun, HelpEndsTheProgramAtOnce) {
    expect(vorline({"-h"}), 0, help_text());
    expect(vorline({"-help"}), 0, help_text());
    expect(vorline({"-h", "-p", "missing.pgn"}), 0, help_text());
    expect(vorline({"-p", "games.pgn", "-d", "3", "-hx", "-e", "missing.epd"}), 0, help_text());
}

TEST_F(VorlineRun, InputFilesAreCheckedWhenTheirOptionIsMet) {
    expect(vorline({"-p", "missing.pgn", "-h"}), failed,
           "Problem with input pgn-file missing.pgn\n");
    expect(vorline({"-p", "games.pgn", "-e", "missing.epd", "-h"}), failed,
           "Problem with input epd-file missing.epd\n");
    expect(vorline({"-e", "missing.epd", "-p", "missing.pgn"}), failed,
           "Problem with input epd-file missing.epd\n");
    expect(vorline({"-e", "missing.epd", "-e", "pos.epd", "-p", "games.pgn"}), failed,
           "Problem with input epd-file missing.epd\n");
    EXPECT_FALSE(dir.exists("failed.epd"));
    EXPECT_FALSE(dir.exists("pos.pgn"));
}

TEST_F(VorlineRun, OptionAtTheEndHasAnEmptyValue) {
    expect(vorline({"-p"}), failed, "Problem with input pgn-file \n");
    expect(vorline({"-p", "games.pgn", "-e"}), failed, "Problem with input epd-file \n");
    expect(vorline({"-p", "games.pgn", "-e", "pos.epd", "-d"}), 0, complete_run);
}

TEST_F(VorlineRun, ValueIsVisitedAgainInItsTurn) {
    expect(vorline({"-p", "-h"}), failed, "Problem with input pgn-file -h\n");
    dir.write("-h", games);
    expect(vorline({"-p", "-h"}), 0, help_text());
}

TEST_F(VorlineRun, OptionsAreRecognisedByTheirFirstTwoCharacters) {
    expect(vorline({"-pgn", "games.pgn", "-epd", "pos.epd", "-d5", "7", "-x", "stray"}), 0,
           complete_run);
    EXPECT_EQ(dir.read("failed.epd"), unfound_failed);
}

TEST_F(VorlineRun, CompleteRunCopiesEveryUnfoundLine) {
    expect(vorline({"-p", "games.pgn", "-e", "pos.epd"}), 0, complete_run);
    EXPECT_EQ(dir.read("failed.epd"), unfound_failed);
    EXPECT_TRUE(dir.exists("pos.pgn"));
    EXPECT_EQ(dir.read("pos.pgn"), "");
}

TEST_F(VorlineRun, DepthWithoutDigitsIndexesNothing) {
    dir.write("pos.epd", found_epd);
    for (const char* depth : {"0", "abc", "-0"}) {
        expect(vorline({"-p", "games.pgn", "-e", "pos.epd", "-d", depth}), 0, complete_run);
        EXPECT_EQ(dir.read("failed.epd"), found_epd) << depth;
        EXPECT_EQ(dir.read("pos.pgn"), "") << depth;
    }
}

TEST_F(VorlineRun, OutputIsNamedAfterTheEpdFile) {
    struct Case {
        const char* epd;
        const char* output;
    };
    std::filesystem::create_directory(dir.path() / "data");
    for (const Case& c : {Case{"pos.EPD", "openings.pgn"}, Case{"a.xepd", "a..pgn"},
                          Case{"epd", ".pgn"}, Case{"xepd", ".pgn"},
                          Case{"data/pos.epd", "data/pos.pgn"}}) {
        dir.write(c.epd, unfound_epd);
        expect(vorline({"-e", c.epd, "-p", "games.pgn"}), 0,
               "reading games.pgn ...\nwriting " + std::string(c.output) + " ...\nFinished!\n");
        EXPECT_TRUE(dir.exists(c.output)) << c.output;
        EXPECT_EQ(dir.read("failed.epd"), unfound_failed) << "failed.epd stays in the current folder";
    }
}

TEST_F(VorlineRun, LaterOptionsReplaceEarlierOnes) {
    dir.write("b.epd", "8/8/8/8/8/8/k7/K7 w - -\n");
    expect(vorline({"-e", "pos.epd", "-p", "missing.pgn", "-p", "games.pgn", "-e", "b.epd"}),
           failed, "Problem with input pgn-file missing.pgn\n");
    expect(vorline({"-e", "pos.epd", "-p", "games.pgn", "-e", "b.epd"}), 0,
           "reading games.pgn ...\nwriting b.pgn ...\nFinished!\n");
    EXPECT_EQ(dir.read("failed.epd"), "8/8/8/8/8/8/k7/K7 w - -\n");
    EXPECT_FALSE(dir.exists("pos.pgn"));
}

TEST_F(VorlineRun, SecondRunAppendsToOutputAndReplacesFailedEpd) {
    const std::string earlier = "[Event \"earlier run\"]\n\n1. e4 *\n\n";
    dir.write("pos.pgn", earlier);
    for (int run = 0; run < 2; ++run) {
        expect(vorline({"-p", "games.pgn", "-e", "pos.epd"}), 0, complete_run);
        EXPECT_EQ(dir.read("pos.pgn"), earlier);
        EXPECT_EQ(dir.read("failed.epd"), unfound_failed);
    }
}

// Rerunning the failed lines against other games must not empty them before they are read.
TEST_F(VorlineRun, EpdFileThatIsFailedEpdIsReadWhole) {
    dir.write("failed.epd", unfound_epd);
    expect(vorline({"-p", "games.pgn", "-e", "failed.epd"}), 0,
           "reading games.pgn ...\nwriting failed.pgn ...\nFinished!\n");
    EXPECT_EQ(dir.read("failed.epd"), unfound_failed);

    std::filesystem::remove(dir.path() / "failed.epd");
    std::filesystem::create_symlink("pos.epd", dir.path() / "failed.epd");
    expect(vorline({"-p", "games.pgn", "-e", "pos.epd"}), 0, complete_run);
    EXPECT_EQ(dir.read("pos.epd"), unfound_epd);
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / "failed.epd"));
    EXPECT_EQ(dir.read("failed.epd"), unfound_failed);
}

TEST_F(VorlineRun, OutputThatCannotBeOpenedFailsTheRun) {
    std::filesystem::create_directory(dir.path() / "pos.pgn");
    expect(vorline({"-p", "games.pgn", "-e", "pos.epd"}), failed,
           "reading games.pgn ...\nError while opening pos.pgn\n");
    EXPECT_FALSE(dir.exists("failed.epd"));
}

TEST_F(VorlineRun, FailedEpdThatCannotBeOpenedFailsTheRun) {
    std::filesystem::create_directory(dir.path() / "failed.epd");
    expect(vorline({"-p", "games.pgn", "-e", "pos.epd"}), failed,
           "reading games.pgn ...\nwriting pos.pgn ...\nError while opening failed.epd\n");
}

TEST_F(VorlineRun, FailedWriteToFailedEpdFailsTheRun) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    std::filesystem::create_symlink("/dev/full", dir.path() / "failed.epd");
    expect(vorline({"-p", "games.pgn", "-e", "pos.epd"}), failed,
           "reading games.pgn ...\nwriting pos.pgn ...\nError while writing failed.epd\n");
}

// The EPD file is checked at the start but is gone when the second phase opens it. The games
// come through a named pipe that stays open until the file has been removed.
TEST_F(VorlineRun, EpdFileThatCannotBeReopenedFailsTheRun) {
    const std::string fifo = dir.file("games.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int writer = open(fifo.c_str(), O_RDWR | O_CLOEXEC);  // holds the pipe open without a reader
    ASSERT_GE(writer, 0);
    std::thread remover([&] {
        // The output file appears once the checks are over and the games are being read.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!dir.exists("pos.pgn") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::filesystem::remove(dir.path() / "pos.epd");
        const std::string text = "[Event \"A\"]\n\n1. e4 *\n\n";
        EXPECT_EQ(write(writer, text.data(), text.size()), ssize_t(text.size()));
        close(writer);
    });
    const ProcessResult result = vorline({"-p", "games.fifo", "-e", "pos.epd"});
    remover.join();
    expect(result, failed,
           "reading games.fifo ...\nwriting pos.pgn ...\nError while opening pos.epd\n");
    EXPECT_TRUE(dir.exists("failed.epd"));
    EXPECT_EQ(dir.read("failed.epd"), "");
}

TEST_F(VorlineRun, DirectoryAsPgnFileReadsNoGames) {
    std::filesystem::create_directory(dir.path() / "folder.pgn");
    const ProcessResult result = vorline({"-p", "folder.pgn", "-e", "pos.epd"});
    if (result.out.starts_with("Problem with input pgn-file")) GTEST_SKIP() << "not opened";
    expect(result, 0, "reading folder.pgn ...\nwriting pos.pgn ...\nFinished!\n");
    EXPECT_EQ(dir.read("failed.epd"), unfound_failed);
}

}  // namespace
