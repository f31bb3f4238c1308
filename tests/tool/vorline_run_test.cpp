// Runs the real vorline executable in a fresh directory and checks what it prints, its exit
// status and the files it leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/command_line.h"

namespace {

namespace fs = std::filesystem;

constexpr int failed = 255;  // the tool's -1 as a parent process sees it

const std::string games =
    "[Event \"A\"]\n[Site \"?\"]\n[Result \"1-0\"]\n\n1. d4 d5 2. c4 e6 3. Nc3 Nf6 1-0\n\n"
    "[Event \"B\"]\n[Result \"*\"]\n\n1. e4 c5 {Sicilian} 2. Nf3 (2. c3) d6 *\n\n";

// Positions no game reaches, so every line goes to "failed.epd": CRLF, an empty line,
// trailing spaces and a last line without a line break.
const std::string unfound_epd =
    "8/8/8/4k3/8/8/3QK3/8 w - - bm Qd5; id \"mate.1\";\r\n\r\n8/8/8/8/8/8/6k1/4K2R w K - 0 1  \n"
    "r1b1k2r/ppppqppp/2n2n2/8/8/8/PPPP1PPP/RNBQKB1R b KQkq -";
const std::string unfound_failed =
    "8/8/8/4k3/8/8/3QK3/8 w - - bm Qd5; id \"mate.1\";\n\n8/8/8/8/8/8/6k1/4K2R w K - 0 1  \n"
    "r1b1k2r/ppppqppp/2n2n2/8/8/8/PPPP1PPP/RNBQKB1R b KQkq -\n";

std::string complete(const std::string& pgn, const std::string& output) {
    return "reading " + pgn + " ...\nwriting " + output + " ...\nFinished!\n";
}

void expect(const ProcessResult& result, int status, const std::string& out, const std::string& err = "") {
    EXPECT_EQ(std::tie(result.exit_status, result.out, result.err), std::tie(status, out, err));
}

// A fresh directory with the games, EPD files of several names and a folder named like a
// PGN file.
struct Sandbox {
    Sandbox() {
        fs::create_directory(dir.path() / "data");
        fs::create_directory(dir.path() / "folder.pgn");
        dir.write("games.pgn", games);
        for (const char* name : {"pos.epd", "b.epd", "pos.EPD", "epd", "data/pos.epd"})
            dir.write(name, unfound_epd);
    }
    ProcessResult vorline(const std::vector<std::string>& arguments) const {
        return run_process(VORLINE_EXE, arguments, dir.path().string());
    }
    TempDir dir;
};

class VorlineRun : public ::testing::Test, public Sandbox {};

TEST_F(VorlineRun, StatusStreamsAndFilesOfEveryKindOfCommandLine) {
    const std::string banner_line = std::string(banner) + "\n", help = help_text();
    const std::string missing_pgn = "Missing pgn file\nType 'vorline -h' for help\n";
    const std::string missing_epd = "Missing epd file\nType 'vorline -h' for help\n";
    const std::string no_pgn = "Problem with input pgn-file ", no_epd = "Problem with input epd-file ";
    struct Row {
        std::vector<std::string> arguments;
        std::string out, err = {};
        std::string output = {};  // the output file of a finished run; none when the run fails
    };
    const Row rows[] = {
        {{}, banner_line, missing_pgn},
        {{"-e", "pos.epd"}, banner_line, missing_pgn},
        {{"-p", "games.pgn", "-d", "5"}, banner_line, missing_epd},
        // Help ends the program at once; options are known by their first two characters.
        {{"-h"}, help, "", "-"},
        {{"-p", "games.pgn", "-d", "3", "-hx", "-e", "missing.epd"}, help, "", "-"},
        // Input files are checked when their option is met; later options replace earlier ones.
        {{"-p", "missing.pgn", "-h"}, no_pgn + "missing.pgn\n"},
        {{"-p", "games.pgn", "-e", "missing.epd", "-h"}, no_epd + "missing.epd\n"},
        {{"-e", "pos.epd", "-p", "missing.pgn", "-p", "games.pgn", "-e", "b.epd"}, no_pgn + "missing.pgn\n"},
        {{"-e", "pos.epd", "-p", "games.pgn", "-e", "b.epd"}, complete("games.pgn", "b.pgn"), "", "b.pgn"},
        // An option that ends the command line has an empty value; a value is still visited
        // as an argument in its own turn.
        {{"-p"}, no_pgn + "\n"},
        {{"-p", "games.pgn", "-e", "pos.epd", "-d"}, complete("games.pgn", "pos.pgn"), "", "pos.pgn"},
        {{"-p", "-h"}, no_pgn + "-h\n"},
        {{"-pgn", "games.pgn", "-epd", "pos.epd", "-d5", "7", "-x", "y"}, complete("games.pgn", "pos.pgn"), "", "pos.pgn"},
        // The output is named after the EPD file; failed.epd stays in the current folder.
        {{"-e", "pos.EPD", "-p", "games.pgn"}, complete("games.pgn", "openings.pgn"), "", "openings.pgn"},
        {{"-e", "epd", "-p", "games.pgn"}, complete("games.pgn", ".pgn"), "", ".pgn"},
        {{"-e", "data/pos.epd", "-p", "games.pgn"}, complete("games.pgn", "data/pos.pgn"), "", "data/pos.pgn"},
        {{"-p", "folder.pgn", "-e", "pos.epd"}, no_pgn + "folder.pgn\n"},  // a folder is no file
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        const Sandbox box;
        // Help ("-") succeeds without a run; a finished run leaves its output, empty here,
        // and every line in failed.epd; a run that stops early leaves neither.
        const bool finished = !row.output.empty() && row.output != "-";
        expect(box.vorline(row.arguments), row.output.empty() ? failed : 0, row.out, row.err);
        EXPECT_EQ(box.dir.exists("failed.epd"), finished);
        EXPECT_EQ(box.dir.exists("pos.pgn"), row.output == "pos.pgn");
        if (!finished) continue;
        EXPECT_EQ(box.dir.read(row.output), "");
        EXPECT_TRUE(box.dir.exists(row.output));
        EXPECT_EQ(box.dir.read("failed.epd"), unfound_failed);
    }
}

}  // namespace
