// Hints and reasons: what a run says when it finds almost nothing (on the terminal summary
// only), inputs that are archives, and the system's reason for a file that cannot be opened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/process.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"
#include "tool/archive_check.h"
#include "tool/run_report.h"
#include "tool/tool_run.h"

namespace vorline {

namespace {

const std::string games = "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 *\n\n";
// A book of positions after move 9 (half moves 16 and 17), and one the games reach.
const std::string book =
    "r1bqk2r/pp2bppp/2nppn2/8/3NP3/2N1B3/PPPQ1PPP/R3KB1R w KQkq - 4 9\n"
    "r1bqk2r/pp2bppp/2nppn2/8/3NP3/2N1B3/PPPQBPPP/R3K2R b KQkq - 5 9\n"
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2\n";

// Runs the tool with standard error on a terminal and returns the screen, and the same run
// without a terminal, whose standard error must stay empty.
std::tuple<std::string, ProcessResult> on_terminal(const TempDir& dir,
                                                   const std::vector<std::string>& arguments) {
    PseudoTerminal terminal;
    Process(VORLINE_EXE, arguments, dir.path().string(), {.error_descriptor = terminal.slave()})
        .wait();
    std::string screen = terminal.take();
    return {screen, run_process(VORLINE_EXE, arguments, dir.path().string())};
}

TEST(Hints, BookBeyondTheDepthAndNothingIndexedOnTheTerminalSummaryOnly) {
    const TempDir dir;
    dir.write("games.pgn", games);
    dir.write("book.epd", book);
    dir.write("empty.pgn", "");
    dir.write("unplayable.pgn",
              "[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n\n1. Kb2 *\n\n"
              "[Event \"B\"]\n\n1. e5 *\n\n[Event \"C\"]\n\n*\n\n");
    const std::string finished = "reading games.pgn ...\nwriting book.pgn ...\nFinished!\n";
    const struct {
        std::vector<std::string> arguments;
        std::string hints;
    } rows[] = {
        {{"-p", "games.pgn", "-e", "book.epd", "-d", "8"},
         "hint: 2 lines not found name a move number beyond depth 8; -d 17 covers them\n"},
        {{"-p", "games.pgn", "-e", "book.epd", "-d", "16"},
         "hint: 1 line not found names a move number beyond depth 16; -d 17 covers it\n"},
        {{"-p", "games.pgn", "-e", "book.epd"}, ""},
        {{"-p", "empty.pgn", "-e", "book.epd"},
         "hint: no position was indexed: the PGN file holds no game\n"},
        {{"-p", "unplayable.pgn", "-e", "book.epd"},
         "hint: no position was indexed: none of the 3 games read has a move that could be "
         "played (1 skipped for FEN, 1 stopped at a bad move)\n"},
        {{"-p", "games.pgn", "-e", "book.epd", "-d", "0"},
         "hint: 3 lines not found name a move number beyond depth 0; -d 17 covers them\n"
         "hint: no position was indexed: the depth is 0\n"},
    };
    for (const auto& [arguments, hints] : rows) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const auto [screen, plain] = on_terminal(dir, arguments);
        EXPECT_EQ(std::tie(plain.exit_status, plain.err), std::make_tuple(0, ""));
        EXPECT_EQ(plain.out.substr(plain.out.find('\n')), finished.substr(finished.find('\n')));
        const std::size_t summary = screen.find("output file:");
        ASSERT_NE(summary, std::string::npos) << screen;
        const std::string after = screen.substr(screen.find('\n', summary) + 1);
        EXPECT_EQ(after, hints);
    }
}

TEST(Hints, ArchivesAreRefusedAtTheirCheck) {
    std::string tar(1024, '\0');
    tar.replace(0, 9, "games.pgn");
    tar.replace(257, 8,
                std::string("ustar\0"
                            "00",
                            8));
    const std::string zip = std::string("PK\x03\x04\x14\0\0\0", 8) + "games.pgn";
    const std::string seven = std::string("7z\xBC\xAF\x27\x1C\0\x04", 8);
    const std::string rar = std::string("Rar!\x1A\x07\x01\0", 8);
    const TempDir dir;
    dir.write("games.pgn", games);
    dir.write("pos.epd", book);
    const struct {
        std::string name, bytes, kind;
    } rows[] = {{"book.zip", zip, "zip"},
                {"book.7z", seven, "7z"},
                {"book.rar", rar, "rar"},
                {"book.tar", tar, "tar"}};
    for (const auto& [name, bytes, kind] : rows) {
        SCOPED_TRACE(name);
        dir.write(name, bytes);
        const std::string reason = name + ": a " + kind + " archive; unpack it first\n";
        const ProcessResult as_pgn =
            run_process(VORLINE_EXE, {"-p", name, "-e", "pos.epd"}, dir.path().string());
        EXPECT_EQ(std::tie(as_pgn.exit_status, as_pgn.out, as_pgn.err),
                  std::make_tuple(failed, "Problem with input pgn-file " + name + "\n", reason));
        const ProcessResult as_epd =
            run_process(VORLINE_EXE, {"-p", "games.pgn", "-e", name}, dir.path().string());
        EXPECT_EQ(std::tie(as_epd.exit_status, as_epd.out, as_epd.err),
                  std::make_tuple(failed, "Problem with input epd-file " + name + "\n", reason));
    }
    EXPECT_FALSE(dir.exists("failed.epd"));
    // Text, short files and the compressed formats the tool reads are no archives.
    for (const std::string& text :
         {games, std::string("PK"), std::string("\x1F\x8B\x08", 3), std::string(300, ' ')})
        EXPECT_EQ(archive_reason(text), "");
}

// The answering line shows the share of the EPD file read when its size is known.
TEST(Hints, AnsweringStatusShowsTheShareRead) {
    RunCounters counters;
    counters.lines_found = 1500;
    counters.lines_not_found = 500;
    EXPECT_EQ(answering_status(counters, 1'234'567, 10'000'000),
              "answering: 1.2 of 10.0 MB (12%), 2,000 lines, 1,500 found, 500 not found");
    EXPECT_EQ(answering_status(counters, 1'234'567, std::nullopt), answering_status(counters));
    EXPECT_EQ(answering_status(counters), "answering: 2,000 lines, 1,500 found, 500 not found");
}

// The folder missing and a folder as the output are in the output option's table; a file
// the system refuses to open names the reason too.
TEST(Reasons, PermissionDenied) {
    const TempDir dir;
    dir.write("games.pgn", games);
    dir.write("pos.epd", book);
    std::string refused;
    if (geteuid() != 0) {
        dir.write("locked/x", "");
        chmod(dir.file("locked").c_str(), 0500);
        refused = dir.file("locked/out.pgn");
    } else {
        // The superuser passes permission bits; some system files refuse it all the same.
        const int probe = open("/sys/kernel/notes", O_WRONLY | O_APPEND | O_CLOEXEC);
        if (probe >= 0) close(probe);
        if (probe >= 0 || errno != EACCES) GTEST_SKIP() << "no file refuses the superuser";
        refused = "/sys/kernel/notes";
    }
    const ProcessResult result = run_process(
        VORLINE_EXE, {"-p", "games.pgn", "-e", "pos.epd", "-o", refused}, dir.path().string());
    if (geteuid() != 0) chmod(dir.file("locked").c_str(), 0700);
    EXPECT_EQ(
        std::tie(result.exit_status, result.out, result.err),
        std::make_tuple(failed, "reading games.pgn ...\nError while opening " + refused + "\n",
                        refused + ": Permission denied\n"));
}

}  // namespace

}  // namespace vorline
