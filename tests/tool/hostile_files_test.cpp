// Runs the real vorline executable on hostile input: empty files, random bytes, NUL bytes,
// huge lines, deep nesting, floods of comments, huge tags, a million failing EPD lines,
// placements off the board. Every run must end with a clear result, and every EPD line must
// come out once: as a game in the output file or unchanged in "failed.epd". The big files
// are made here, in a temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

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
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (end < text.size() && line.ends_with('\r')) line.remove_suffix(1);
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

std::string random_bytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

class HostileFiles : public ::testing::Test {
protected:
    ProcessResult vorline(const std::vector<std::string>& arguments) {
        return run_process(VORLINE_EXE, arguments, hostile.path().string(), time_limit_seconds);
    }

    // Runs the games against the EPD text (output appended to nothing), expects a complete
    // run and checks that every EPD line came out once: as a game in pos.pgn or, unchanged
    // and in order, in "failed.epd". Returns the number of games written.
    std::size_t run_and_account(std::string_view games, std::string_view epd) {
        hostile.write("games.pgn", games);
        hostile.write("pos.epd", epd);
        std::filesystem::remove(hostile.path() / "pos.pgn");
        const ProcessResult result = vorline({"-p", "games.pgn", "-e", "pos.epd"});
        EXPECT_EQ(result.exit_status, 0) << result.err.substr(0, 2000);
        EXPECT_EQ(result.out, "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n");

        const std::vector<std::string> lines = epd_lines(epd);
        const std::string failed_text = hostile.read("failed.epd");
        EXPECT_TRUE(failed_text.empty() || failed_text.back() == '\n');
        const std::vector<std::string> failed_lines = epd_lines(failed_text);
        auto next = lines.begin();
        for (const std::string& line : failed_lines) {
            next = std::find(next, lines.end(), line);
            EXPECT_NE(next, lines.end()) << "a line of failed.epd is not an EPD line in order";
            if (next == lines.end()) break;
            ++next;
        }
        const std::size_t games_written =
            std::ranges::count(epd_lines(hostile.read("pos.pgn")), "[Event \"?\"]");
        EXPECT_EQ(games_written + failed_lines.size(), lines.size()) << "EPD lines lost or doubled";
        return games_written;
    }

    // Runs the clean games and the hostile games against the same EPD lines: what the
    // hostile decoration adds must change nothing that the tool writes.
    void expect_same_as_clean(std::string_view clean_games, std::string_view hostile_games) {
        // The games reach three of the five positions; the initial position is always found.
        EXPECT_EQ(run_and_account(clean_games, game_positions), 4u);
        const std::string clean_output = hostile.read("pos.pgn"),
                          clean_failed = hostile.read("failed.epd");
        run_and_account(hostile_games, game_positions);
        EXPECT_EQ(hostile.read("pos.pgn"), clean_output);
        EXPECT_EQ(hostile.read("failed.epd"), clean_failed);
    }

    TempDir hostile;
};

TEST_F(HostileFiles, EmptyFilesAndOnlyLineBreaks) {
    EXPECT_EQ(run_and_account("", ""), 0u);
    EXPECT_EQ(hostile.read("failed.epd"), "");
    EXPECT_EQ(hostile.read("pos.pgn"), "");
    // Every empty EPD line is a line and goes to "failed.epd".
    run_and_account("\n\r\n\n\r\r\n", "\n\r\n\n");
    EXPECT_EQ(hostile.read("failed.epd"), "\n\n\n");
}

TEST_F(HostileFiles, RandomBytesAndRandomPgnCharacters) {
    const std::string junk_epd = random_bytes(200000, 11);
    run_and_account(random_bytes(2000000, 7), junk_epd);
    // Random bytes as games before real games: the real games are still read.
    run_and_account(random_bytes(300000, 5) + "\n\n\n" + game_a + game_b,
                    junk_epd + "\n" + game_positions);

    // Random text over the characters that mean something in PGN, with some moves among them.
    static const std::string_view pieces[] = {
        "(",   ")",     "{",         "}",       ";",    "[",
        "]",   "\"",    "\n",        "\r\n",    "\n\n", " ",
        "%",   "$1",    "*",         "1-0",     "0-1",  "1/2-1/2",
        "1.",  "...",   "e4",        "e5",      "Nf3",  "Nc6",
        "O-O", "O-O-O", "exd5",      "e8=Q",    "=",    "+",
        "#",   "\\",    "[Event \"", "[FEN \"", "8/8",  std::string_view("\0", 1)};
    std::mt19937 generator(3);
    std::string junk;
    while (junk.size() < 3000000) junk += pieces[generator() % std::size(pieces)];
    run_and_account(junk, game_positions + "\n" + junk.substr(0, 100000));
}

// Each hostile decoration of game A (and of the games around it) must index what the clean
// games do.
TEST_F(HostileFiles, HostileGameTextsIndexWhatTheCleanGamesDo) {
    using namespace std::string_literals;
    const std::string head_a = "[Event \"A\"]\n[Site \"?\"]\n[Result \"*\"]\n\n";
    const std::string moves_a = "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 ";
    {
        SCOPED_TRACE("NUL bytes inside a game");
        expect_same_as_clean(game_a + game_b,
                             "[Event \"A\0\"]\n[Site \"?\"]\n[Result \"*\"]\n\n"
                             "1. e4 \0 e5 2. Nf3 {\0} Nc6 \0\0 3. Bb5 a6 *\n\n"s +
                                 game_b);
    }
    {
        // From its seventh half move on the filler is illegal.
        SCOPED_TRACE("50 MB movetext without a line break");
        std::string huge = game_b + head_a + moves_a;
        huge.reserve(50u << 20);
        while (huge.size() < (50u << 20)) huge += "e4 e5 Nf3 Nc6 Bb5 a6 {x} (d4) $1 ";
        expect_same_as_clean(game_b + game_a, huge);
    }
    {
        // A second flood that is never closed drops only what follows it.
        SCOPED_TRACE("ten thousand nested variations");
        std::string nested = head_a + "1. e4 ";
        for (int i = 0; i < 10000; ++i) nested += "(1. d4 ";
        nested += std::string(10000, ')') + " e5 2. Nf3 Nc6 3. Bb5 a6 " + std::string(10000, '(') +
                  "*\n\n";
        expect_same_as_clean(game_a + game_b, nested + game_b);
    }
    {
        // Stray ")" make the depth negative, so the "(" after them stay in the movetext with
        // nothing to close them; each must cost no more than its own character.
        SCOPED_TRACE("six million stray closing, then opening parentheses");
        const std::string stray = "[Event \"S\"]\n\n1. e4 " + std::string(6000000, ')') +
                                  std::string(6000000, '(') + " e5\n\n";
        expect_same_as_clean(game_a + game_b, stray + game_a + game_b);
    }
    {
        SCOPED_TRACE("a hundred thousand comments");
        std::string commented = head_a + "1. e4 ";
        for (int i = 0; i < 50000; ++i) commented += "{c} ";
        commented += "e5 2. Nf3 ";
        for (int i = 0; i < 50000; ++i) commented += "; c\n";
        expect_same_as_clean(game_a + game_b, commented + "Nc6 3. Bb5 a6 *\n\n" + game_b);
    }
    {
        SCOPED_TRACE("one-megabyte tag values");
        std::string value;
        while (value.size() < (1u << 20)) value += "ab (c) ; d\\ ";
        const std::string tagged = "[Event \"A\"]\n[Annotator \"" + value + "\"]\n[Site \"" +
                                   std::string(1u << 20, 'x') + "\"]\n[Result \"*\"]\n\n" +
                                   moves_a + "*\n\n";
        expect_same_as_clean(game_a + game_b, tagged + game_b);
    }
}

TEST_F(HostileFiles, HostileEpdLines) {
    using namespace std::string_literals;
    // A NUL inside an EPD line is copied like any other byte.
    const std::string nul_lines = "8/8/8/8/8/8/8/K6k w - -\0 bm Ka2;\n\0\n"s;
    run_and_account(game_a + game_b, nul_lines + game_positions);
    EXPECT_TRUE(hostile.read("failed.epd").starts_with(nul_lines));

    // One-megabyte lines; a placement of half a million ranks leaves the board.
    std::string long_operation = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - c0 \"";
    while (long_operation.size() < (1u << 20)) long_operation += "long comment ";
    std::string long_placement;
    while (long_placement.size() < (1u << 20)) long_placement += "8/";
    const std::string kings(1u << 20, 'K');
    run_and_account(game_a + game_b, long_operation + "\";\n" + long_placement + " w - -\n" +
                                         std::string(1u << 20, ' ') + "\n" + kings + "\n" +
                                         game_positions);
    const std::string failed_text = hostile.read("failed.epd");
    EXPECT_NE(failed_text.find(long_placement + " w - -\n"), std::string::npos);
    EXPECT_NE(failed_text.find(kings + "\n"), std::string::npos);

    // A million lines that all fail, some ending in CRLF.
    std::string million;
    million.reserve(40u << 20);
    for (int i = 0; i < 1000000; ++i)
        million += "k7/8/8/8/8/8/8/7K w - - 0 " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    EXPECT_EQ(run_and_account(game_a + game_b, million), 0u);
    EXPECT_EQ(hostile.read("failed.epd"), all_failed(million));
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
        std::string(65, 'p') + " w - -\n" + std::string(64, 'p') + "/P w - -\n88888888P w - -\n";
    EXPECT_EQ(run_and_account(game_a + game_b, epd), 0u);
    EXPECT_EQ(hostile.read("failed.epd"), all_failed(epd));
}

}  // namespace

}  // namespace vorline
