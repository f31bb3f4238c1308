// Runs the real vorline executable on hostile input: empty files, random bytes, NUL bytes,
// huge lines, deep nesting, floods of comments, huge tags, a million failing EPD lines,
// placements off the board, directories and unreadable files. Every run must end with a
// clear result, and every EPD line must come out once: as a game in the output file or
// unchanged in "failed.epd". The big files are made here, in a temporary directory.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "support/process.h"
#include "support/temp_dir.h"

namespace {

constexpr int failed = 255;  // the tool's -1 as a parent process sees it
constexpr int time_limit_seconds = 120;

const std::string game_a =
    "[Event \"A\"]\n[Site \"?\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n\n";
const std::string game_b = "[Event \"B\"]\n\n1. d4 Nf6 2. c4 e6 *\n\n";

// Positions of the two games, an initial position that no game returns to, and a line that
// no game reaches.
const std::string game_positions =
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2\n"
    "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3 bm a6;\r\n"
    "rnbqkb1r/pppppppp/5n2/8/2PP4/8/PP2PPPP/RNBQKBNR b KQkq c3 0 2\n"
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\n"
    "8/8/8/4k3/8/8/3QK3/8 w - - bm Qd5;";

// The lines of an EPD file as the tool reads them: split at line feeds, one carriage return
// before a line feed belongs to the break, a last line without a break counts.
std::vector<std::string> epd_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

// What "failed.epd" holds when no line is found.
std::string all_failed(std::string_view epd) {
    std::string text;
    for (const std::string& line : epd_lines(epd)) text += line + "\n";
    return text;
}

std::size_t count_lines_equal_to(std::string_view text, std::string_view wanted) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (text.substr(start, end - start) == wanted) ++count;
        start = end + 1;
    }
    return count;
}

std::string random_bytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// Random text over the characters that mean something in PGN, with some moves among them.
std::string random_pgn_junk(std::size_t size, std::uint32_t seed) {
    static const std::vector<std::string_view> pieces = {
        "(", ")", "{", "}", ";", "[", "]", "\"", "\n", "\r\n", "\n\n", " ", "%", "$1", "*",
        "1-0", "0-1", "1/2-1/2", "1.", "...", "e4", "e5", "Nf3", "Nc6", "O-O", "O-O-O", "exd5",
        "e8=Q", "=", "+", "#", "\\", "[Event \"", "[FEN \"", "8/8", std::string_view("\0", 1)};
    std::mt19937 generator(seed);
    std::string text;
    while (text.size() < size) text += pieces[generator() % pieces.size()];
    return text;
}

class HostileFiles : public ::testing::Test {
protected:
    ProcessResult vorline(const TempDir& in, const std::vector<std::string>& arguments) {
        return run_process(VORLINE_EXE, arguments, in.path().string(), time_limit_seconds);
    }

    // Runs games.pgn against pos.epd in `in`, expects a complete run and checks that every
    // EPD line came out once: as a game in pos.pgn or, unchanged and in order, in
    // "failed.epd". Returns the number of games written.
    std::size_t run_and_account(const TempDir& in, std::string_view epd) {
        const ProcessResult result = vorline(in, {"-p", "games.pgn", "-e", "pos.epd"});
        EXPECT_EQ(result.exit_status, 0) << result.err.substr(0, 2000);
        EXPECT_EQ(result.out, "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n");

        const std::vector<std::string> lines = epd_lines(epd);
        const std::string failed_text = in.read("failed.epd");
        EXPECT_TRUE(failed_text.empty() || failed_text.back() == '\n');
        const std::vector<std::string> failed_lines = epd_lines(failed_text);
        std::size_t next = 0;
        for (const std::string& line : failed_lines) {
            while (next < lines.size() && lines[next] != line) ++next;
            EXPECT_LT(next, lines.size()) << "a line of failed.epd is not an EPD line in order";
            if (next == lines.size()) break;
            ++next;
        }
        const std::size_t games = count_lines_equal_to(in.read("pos.pgn"), "[Event \"?\"]");
        EXPECT_EQ(games + failed_lines.size(), lines.size()) << "EPD lines lost or doubled";
        return games;
    }

    // Runs the clean games and the hostile games against the same EPD lines: what the
    // hostile decoration adds must change nothing that the tool writes.
    void expect_same_as_clean(std::string_view clean_games, std::string_view hostile_games) {
        TempDir clean;
        clean.write("games.pgn", clean_games);
        clean.write("pos.epd", game_positions);
        // The games reach three of the five positions.
        EXPECT_EQ(run_and_account(clean, game_positions), 3u);

        hostile.write("games.pgn", hostile_games);
        hostile.write("pos.epd", game_positions);
        std::filesystem::remove(hostile.path() / "pos.pgn");  // the output is appended to
        run_and_account(hostile, game_positions);
        EXPECT_EQ(hostile.read("pos.pgn"), clean.read("pos.pgn"));
        EXPECT_EQ(hostile.read("failed.epd"), clean.read("failed.epd"));
    }

    TempDir hostile;
};

TEST_F(HostileFiles, EmptyFiles) {
    hostile.write("games.pgn", "");
    hostile.write("pos.epd", "");
    EXPECT_EQ(run_and_account(hostile, ""), 0u);
    EXPECT_EQ(hostile.read("failed.epd"), "");
    EXPECT_EQ(hostile.read("pos.pgn"), "");

    // Only line breaks: every empty EPD line is a line and goes to "failed.epd".
    hostile.write("games.pgn", "\n\r\n\n\r\r\n");
    hostile.write("pos.epd", "\n\r\n\n");
    run_and_account(hostile, "\n\r\n\n");
    EXPECT_EQ(hostile.read("failed.epd"), "\n\n\n");
}

TEST_F(HostileFiles, RandomBytes) {
    const std::string junk_epd = random_bytes(200000, 11);
    hostile.write("games.pgn", random_bytes(2000000, 7));
    hostile.write("pos.epd", junk_epd);
    run_and_account(hostile, junk_epd);

    // Random bytes as games before real games: the real games are still read.
    const std::string epd = junk_epd + "\n" + game_positions;
    hostile.write("games.pgn", random_bytes(300000, 5) + "\n\n\n" + game_a + game_b);
    hostile.write("pos.epd", epd);
    std::filesystem::remove(hostile.path() / "pos.pgn");
    run_and_account(hostile, epd);
}

TEST_F(HostileFiles, RandomPgnCharacters) {
    const std::string junk = random_pgn_junk(3000000, 3);
    hostile.write("games.pgn", junk);
    hostile.write("pos.epd", game_positions + "\n" + junk.substr(0, 100000));
    run_and_account(hostile, game_positions + "\n" + junk.substr(0, 100000));
}

TEST_F(HostileFiles, NulBytesInsideAGame) {
    using namespace std::string_literals;
    const std::string with_nuls =
        "[Event \"A\0\"]\n[Site \"?\"]\n[Result \"*\"]\n\n"
        "1. e4 \0 e5 2. Nf3 {\0} Nc6 \0\0 3. Bb5 a6 *\n\n"s +
        game_b;
    expect_same_as_clean(game_a + game_b, with_nuls);

    // A NUL inside an EPD line is copied like any other byte.
    const std::string epd = "8/8/8/8/8/8/8/K6k w - -\0 bm Ka2;\n\0\n"s + game_positions;
    hostile.write("pos.epd", epd);
    std::filesystem::remove(hostile.path() / "pos.pgn");
    run_and_account(hostile, epd);
    EXPECT_TRUE(hostile.read("failed.epd").starts_with("8/8/8/8/8/8/8/K6k w - -\0 bm Ka2;\n\0\n"s));
}

TEST_F(HostileFiles, FiftyMegabyteLineWithoutLineBreak) {
    // The last game's movetext runs on for 50 MB without a line break; from its seventh
    // half move on its moves are illegal, so it indexes what the clean game does.
    std::string huge = game_b + "[Event \"A\"]\n[Site \"?\"]\n[Result \"*\"]\n\n" +
                       "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 ";
    const std::string_view filler = "e4 e5 Nf3 Nc6 Bb5 a6 {x} (d4) $1 ";
    huge.reserve(50u << 20);
    while (huge.size() < (50u << 20)) huge += filler;
    expect_same_as_clean(game_b + game_a, huge);
}

TEST_F(HostileFiles, TenThousandNestedVariations) {
    std::string nested = "[Event \"A\"]\n[Site \"?\"]\n[Result \"*\"]\n\n1. e4 ";
    for (int i = 0; i < 10000; ++i) nested += "(1. d4 ";
    nested += std::string(10000, ')');
    nested += " e5 2. Nf3 Nc6 3. Bb5 a6 ";
    // A second flood that is never closed drops only what follows it.
    nested += std::string(10000, '(') + "*\n\n";
    expect_same_as_clean(game_a + game_b, nested + game_b);

    // The same floods alone in the movetext, and closing parentheses before any opening.
    std::string floods = "[Event \"F\"]\n\n" + std::string(10000, '(') + "\n\n" +
                         "[Event \"G\"]\n\n" + std::string(10000, ')') +
                         std::string(10000, '(') + "1. e4\n\n";
    expect_same_as_clean(game_a + game_b, floods + game_a + game_b);
}

// Stray ")" make the depth negative, so the "(" after them stay in the movetext with
// nothing to close them; each must cost no more than its own character.
TEST_F(HostileFiles, StrayClosingThenOpeningParentheses) {
    const std::string stray = "[Event \"S\"]\n\n1. e4 " + std::string(6000000, ')') +
                              std::string(6000000, '(') + " e5\n\n";
    expect_same_as_clean(game_a + game_b, stray + game_a + game_b);
}

TEST_F(HostileFiles, HundredThousandComments) {
    std::string commented = "[Event \"A\"]\n[Site \"?\"]\n[Result \"*\"]\n\n1. e4 ";
    for (int i = 0; i < 50000; ++i) commented += "{c} ";
    commented += "e5 2. Nf3 ";
    for (int i = 0; i < 50000; ++i) commented += "; c\n";
    commented += "Nc6 3. Bb5 a6 *\n\n";
    expect_same_as_clean(game_a + game_b, commented + game_b);
}

TEST_F(HostileFiles, OneMegabyteTagValue) {
    std::string value;
    while (value.size() < (1u << 20)) value += "ab (c) ; d\\ ";
    const std::string tagged = "[Event \"A\"]\n[Annotator \"" + value + "\"]\n[Site \"" +
                               std::string(1u << 20, 'x') + "\"]\n[Result \"*\"]\n\n" +
                               "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\n\n";
    expect_same_as_clean(game_a + game_b, tagged + game_b);
}

TEST_F(HostileFiles, MillionEpdLinesThatAllFail) {
    std::string epd;
    epd.reserve(40u << 20);
    for (int i = 0; i < 1000000; ++i) {
        epd += "k7/8/8/8/8/8/8/7K w - - 0 " + std::to_string(i);
        epd += i % 3 == 0 ? "\r\n" : "\n";
    }
    hostile.write("games.pgn", game_a + game_b);
    hostile.write("pos.epd", epd);
    EXPECT_EQ(run_and_account(hostile, epd), 0u);
    EXPECT_EQ(hostile.read("failed.epd"), all_failed(epd));
}

TEST_F(HostileFiles, OneMegabyteEpdLines) {
    const std::string after_e4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -";
    std::string long_operation = after_e4 + " c0 \"";
    while (long_operation.size() < (1u << 20)) long_operation += "long comment ";
    long_operation += "\";";
    std::string long_placement;
    while (long_placement.size() < (1u << 20)) long_placement += "8/";
    const std::string spaces(1u << 20, ' ');
    const std::string epd = long_operation + "\n" + long_placement + " w - -\n" + spaces +
                            "\n" + std::string(1u << 20, 'K') + "\n" + game_positions;
    hostile.write("games.pgn", game_a + game_b);
    hostile.write("pos.epd", epd);
    run_and_account(hostile, epd);
    // A placement of half a million ranks leaves the board: the line is not a position.
    const std::string failed_text = hostile.read("failed.epd");
    EXPECT_NE(failed_text.find(long_placement + " w - -\n"), std::string::npos);
    EXPECT_NE(failed_text.find(std::string(1u << 20, 'K') + "\n"), std::string::npos);
}

TEST_F(HostileFiles, PlacementsOffTheBoardAreNotPositions) {
    // Each line is a position that the games reach with something more on it: a ninth
    // square in a rank, a ninth rank, pieces that run past h1. None may be taken for the
    // position it starts with, and none may be read past the board.
    const std::string epd =
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1RK b KQkq - 1 2\n"
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R/p b KQkq - 1 2\n"
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R/8/8/8/8/8/8/8/8/8/P b KQkq -\n"
        "rnbqkbnrp/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2\n"
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R8P b KQkq - 1 2\n"
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R9999999999999999k b KQkq -\n" +
        std::string(65, 'p') + " w - -\n" + std::string(64, 'p') + "/" + "P w - -\n" +
        "88888888P w - -\n";
    hostile.write("games.pgn", game_a + game_b);
    hostile.write("pos.epd", epd);
    EXPECT_EQ(run_and_account(hostile, epd), 0u);
    EXPECT_EQ(hostile.read("failed.epd"), all_failed(epd));
}

TEST_F(HostileFiles, DirectoriesAsInputs) {
    std::filesystem::create_directory(hostile.path() / "games.pgn");
    std::filesystem::create_directory(hostile.path() / "pos.epd");
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"-p", "games.pgn", "-e", "pos.epd"}, {"-p", ".", "-e", "/"}}) {
        const ProcessResult result = vorline(hostile, arguments);
        EXPECT_EQ(result.err, "");
        if (result.exit_status == 0) {
            EXPECT_TRUE(result.out.ends_with("Finished!\n")) << result.out;
            EXPECT_EQ(hostile.read("failed.epd"), "");
        } else {
            EXPECT_EQ(result.exit_status, failed);
            EXPECT_TRUE(result.out.starts_with("Problem with input") ||
                        result.out.find("Error while opening") != std::string::npos)
                << result.out;
        }
    }
}

TEST_F(HostileFiles, UnreadableInputs) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not stop reading";
    hostile.write("games.pgn", game_a);
    hostile.write("pos.epd", game_positions);
    hostile.write("locked", game_a);
    chmod(hostile.file("locked").c_str(), 0);

    ProcessResult result = vorline(hostile, {"-p", "locked", "-e", "pos.epd"});
    EXPECT_EQ(result.exit_status, failed);
    EXPECT_EQ(result.out, "Problem with input pgn-file locked\n");
    result = vorline(hostile, {"-p", "games.pgn", "-e", "locked"});
    EXPECT_EQ(result.exit_status, failed);
    EXPECT_EQ(result.out, "Problem with input epd-file locked\n");
    EXPECT_FALSE(hostile.exists("failed.epd"));
}

TEST_F(HostileFiles, OutputDirectoryNotWritable) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not stop writing";
    hostile.write("games.pgn", game_a);
    std::filesystem::create_directory(hostile.path() / "locked");
    hostile.write("locked/pos.epd", game_positions);
    chmod(hostile.file("locked").c_str(), 0555);
    const ProcessResult result = vorline(hostile, {"-p", "games.pgn", "-e", "locked/pos.epd"});
    chmod(hostile.file("locked").c_str(), 0755);
    EXPECT_EQ(result.exit_status, failed);
    EXPECT_EQ(result.out, "reading games.pgn ...\nError while opening locked/pos.pgn\n");

    // The current directory, where "failed.epd" goes, not writable.
    std::filesystem::create_directory(hostile.path() / "work");
    hostile.write("work/games.pgn", game_a);
    hostile.write("work/pos.epd", game_positions);
    hostile.write("work/pos.pgn", "");
    chmod(hostile.file("work").c_str(), 0555);
    const ProcessResult in_work = run_process(VORLINE_EXE, {"-p", "games.pgn", "-e", "pos.epd"},
                                              hostile.file("work"), time_limit_seconds);
    chmod(hostile.file("work").c_str(), 0755);
    EXPECT_EQ(in_work.exit_status, failed);
    EXPECT_EQ(in_work.out,
              "reading games.pgn ...\nwriting pos.pgn ...\nError while opening failed.epd\n");
}

}  // namespace
