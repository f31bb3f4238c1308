// Runs the real vorline executable in a fresh directory and checks what it prints, its exit
// status and the files it leaves; "-o" names the output file, "-l" ties each output game to
// its EPD line with tags that our reader and pgn-extract read back. Also the depth option's
// reading.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "pgn/game.h"
#include "pgn/pgn_file.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/command_line.h"
#include "tool/line_tags.h"
#include "tool/tool_run.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

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

// What a complete run on games.pgn prints.
std::string complete(const std::string& output) {
    return "reading games.pgn ...\nwriting " + output + " ...\nFinished!\n";
}

void expect(const ProcessResult& result, int status, const std::string& out,
            const std::string& err = "") {
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
    const std::string banner_line = std::string(banner) + "\n";
    const std::string help =
        "options:\n"
        "-h                : this menu\n"
        "-p <filename>     : pgn file\n"
        "-e <filename>     : epd file\n"
        "-d <number>       : number of half moves in the opening (default 24)\n"
        "\n" +
        banner_line + "\n";
    const std::string missing_pgn = "Missing pgn file\nType 'vorline -h' for help\n";
    const std::string missing_epd = "Missing epd file\nType 'vorline -h' for help\n";
    const std::string no_pgn = "Problem with input pgn-file ",
                      no_epd = "Problem with input epd-file ",
                      no_file = "No such file or directory\n";
    struct Row {
        std::vector<std::string> arguments;
        std::string out, err = {};
    };
    const Row rows[] = {
        {{}, banner_line, missing_pgn},
        {{"-e", "pos.epd"}, banner_line, missing_pgn},
        {{"-p", "games.pgn", "-d", "5"}, banner_line, missing_epd},
        // Help ends the program at once; options are known by their first two characters.
        {{"-h"}, help},
        {{"-p", "games.pgn", "-d", "3", "-hx", "-e", "missing.epd"}, help},
        // Input files are checked when their option is met; later options replace earlier ones.
        // The system's reason follows on standard error.
        {{"-p", "missing.pgn", "-h"}, no_pgn + "missing.pgn\n", "missing.pgn: " + no_file},
        {{"-p", "games.pgn", "-e", "missing.epd", "-h"},
         no_epd + "missing.epd\n",
         "missing.epd: " + no_file},
        {{"-e", "pos.epd", "-p", "missing.pgn", "-p", "games.pgn", "-e", "b.epd"},
         no_pgn + "missing.pgn\n",
         "missing.pgn: " + no_file},
        {{"-e", "pos.epd", "-p", "games.pgn", "-e", "b.epd"}, complete("b.pgn")},
        // An option that ends the command line has an empty value; a value is still visited
        // as an argument in its own turn.
        {{"-p"}, no_pgn + "\n", ": " + no_file},
        {{"-p", "games.pgn", "-e", "pos.epd", "-d"}, complete("pos.pgn")},
        {{"-p", "-h"}, no_pgn + "-h\n", "-h: " + no_file},
        {{"-pgn", "games.pgn", "-epd", "pos.epd", "-d5", "7", "-x", "y"}, complete("pos.pgn")},
        // The output is named after the EPD file; failed.epd stays in the current folder.
        {{"-e", "pos.EPD", "-p", "games.pgn"}, complete("openings.pgn")},
        {{"-e", "epd", "-p", "games.pgn"}, complete(".pgn")},
        {{"-e", "data/pos.epd", "-p", "games.pgn"}, complete("data/pos.pgn")},
        {{"-p", "folder.pgn", "-e", "pos.epd"},  // a folder is no file
         no_pgn + "folder.pgn\n",
         "folder.pgn: Is a directory\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        const Sandbox box;
        // Help succeeds without a run; a finished run leaves its output, empty here, and
        // every line in failed.epd; a run that stops early leaves neither.
        const std::size_t at = row.out.find("writing ");
        const std::string output = at == std::string::npos
                                       ? ""
                                       : row.out.substr(at + 8, row.out.find(" ...", at) - at - 8);
        expect(box.vorline(row.arguments), output.empty() && row.out != help ? failed : 0, row.out,
               row.err);
        EXPECT_EQ(box.dir.exists("failed.epd"), !output.empty());
        EXPECT_EQ(box.dir.exists("pos.pgn"), output == "pos.pgn");
        if (output.empty()) continue;
        EXPECT_TRUE(box.dir.exists(output));
        EXPECT_EQ(box.dir.read(output), "");
        EXPECT_EQ(box.dir.read("failed.epd"), unfound_failed);
    }
}

TEST(CommandLine, DepthIsReadLikeAStreamReadsAnIntClampedTo32Bits) {
    struct Row {
        const char* value;
        std::int32_t expected;
    };
    for (const Row& row : {Row{"12moves", 12}, Row{"  \t\n+7 8", 7}, Row{"-5", -5}, Row{"0x10", 0},
                           Row{"- 5", 0}, Row{"", 24},  // an empty value keeps the depth
                           Row{"2147483648", 2147483647}, Row{"-2147483648", -2147483647 - 1},
                           Row{"-99999999999999999999999999x", -2147483647 - 1}}) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(read_depth(row.value, 24), row.expected);
    }
}

const std::string option_games =
    "[Event \"A\"]\n\n1. d4 d5 2. c4 e6 *\n\n[Event \"B\"]\n\n1. e4 c5 2. Nf3 *\n\n";
// Lines 1, 3 and 4 are found; line 2 is not.
const std::string option_epd =
    "rnbqkbnr/ppp1pppp/8/3p4/3P4/8/PPP1PPPP/RNBQKBNR w KQkq - id \"QGD, move 1\";\n"
    "8/8/8/8/8/8/8/K6k w - -\n"
    "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - c0 \"a; b\"; id Sicilian;\n"
    "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq -\n";
const std::string earlier = "[Event \"earlier run\"]\n\n1. e4 *\n\n";

struct OptionSandbox {
    OptionSandbox() {
        fs::create_directory(dir.path() / "data");
        dir.write("games.pgn", option_games);
        dir.write("pos.epd", option_epd);
        dir.write("data/out.pgn", earlier);
    }
    ProcessResult vorline(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {"-p", "games.pgn", "-e", "pos.epd"});
        return run_process(VORLINE_EXE, arguments, dir.path().string());
    }
    TempDir dir;
};

// Appended to what is there, in another folder; failed.epd stays in the current folder; a
// later "-o" replaces an earlier one. A file that cannot be opened or written fails the run.
TEST(OutputOption, NamesTheFileAppendedTo) {
    const OptionSandbox reference;
    ASSERT_EQ(reference.vorline({}).exit_status, 0);
    const std::string written = reference.dir.read("pos.pgn"), reading = "reading games.pgn ...\n";
    const std::string usage = "Missing output file name after -o\nType 'vorline -h' for help\n";
    // {arguments after -p games.pgn -e pos.epd, standard output, standard error}; a file
    // that cannot be opened has the system's reason on standard error.
    const std::tuple<std::vector<std::string>, std::string, std::string> rows[] = {
        {{"-o", "pos.pgn", "-o", "data/out.pgn"}, "writing data/out.pgn ...\nFinished!\n", ""},
        {{"-o", "data"}, "Error while opening data\n", "data: Is a directory\n"},
        {{"-o", "none/out.pgn"},
         "Error while opening none/out.pgn\n",
         "none/out.pgn: No such file or directory\n"},
        {{"-o", "/dev/full"}, "writing /dev/full ...\nError while writing /dev/full\n", ""},
        {{"-o"}, "", usage},
        {{"-o", "./games.pgn"}, "Output file is an input file: ./games.pgn\n", ""},
        {{"-o", "failed.epd"}, "Output file is an input file: failed.epd\n", ""},
        {{"-o", "data/locked.pgn"}, "File in use by another run: data/locked.pgn\n", ""},
    };
    for (const auto& [arguments, out, err] : rows) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        if (arguments.back() == "/dev/full" && !fs::exists("/dev/full")) continue;
        const OptionSandbox box;
        box.dir.write("data/locked.pgn", "");  // as if another run were writing it
        const int locked = open(box.dir.file("data/locked.pgn").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(flock(locked, LOCK_EX), 0);
        const ProcessResult result = box.vorline(arguments);
        close(locked);
        const bool complete = out.ends_with("Finished!\n");
        const std::string all_out = out.empty() ? std::string(banner) + "\n" : reading + out;
        EXPECT_EQ(std::tie(result.exit_status, result.out, result.err),
                  std::make_tuple(complete ? 0 : failed, all_out, err));
        EXPECT_EQ(box.dir.read("data/out.pgn"), complete ? earlier + written : earlier);
        if (complete) {
            EXPECT_EQ(box.dir.read("failed.epd"), "8/8/8/8/8/8/8/K6k w - -\n");
        }
        EXPECT_FALSE(box.dir.exists("pos.pgn"));
    }
}

TEST(LineTagsOption, IdOperandAsATagValue) {
    const std::pair<const char*, const char*> rows[] = {
        {"8/8/8/8/8/8/8/8 w - - 0 1 id \"  x y \";", "x y"},  // after the move counters
        {"8/8/8/8/8/8/8/8 w - - c0 \"a; id b\";; id plain ;", "plain"},
        {"8/8/8/8/8/8/8/8 w - - id \"back\\slash\ttab\"", "back slash tab"},
        {"8/8/8/8/8/8/8/8 w - - bm Qd5; c0 \"id\";", ""},
        {"id \"x\";", ""},  // in the position fields
    };
    for (const auto& [line, id] : rows) EXPECT_EQ(epd_id(line), id) << line;
}

TEST(LineTagsOption, GamesTiedToTheirLinesReadBackByUsAndPgnExtract) {
    const OptionSandbox box;
    ASSERT_EQ(box.vorline({"-lines"}).exit_status, 0);
    std::vector<std::pair<std::string, std::string>> tags;  // EpdLine and EpdId of every game
    PgnFile output;
    output.open_read(box.dir.file("pos.pgn"));
    Game game;
    for (const std::string* text = &output.read_first_game(); !text->empty();
         text = &output.read_next_game()) {
        game.read_pgn(*text);
        EXPECT_NE(game.get_last_position(), "");
        tags.emplace_back(game.get_tag("EpdLine"), game.get_tag("EpdId"));
    }
    const decltype(tags) expected{{"1", "QGD, move 1"}, {"3", "Sicilian"}, {"4", ""}};
    EXPECT_EQ(tags, expected);

    std::string extract = "/usr/games/pgn-extract";
    if (!fs::exists(extract)) extract = "/usr/bin/pgn-extract";
    if (!fs::exists(extract))
        GTEST_SKIP() << "pgn-extract is not installed (apt-get install pgn-extract)";
    // It checks every move and writes the games back exactly as they stand.
    const ProcessResult read = run_process(extract, {"-s", "pos.pgn"}, box.dir.path().string());
    EXPECT_EQ(std::tie(read.exit_status, read.err), std::make_tuple(0, ""));
    EXPECT_EQ(read.out, box.dir.read("pos.pgn"));
}

}  // namespace

}  // namespace vorline
