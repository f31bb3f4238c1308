// Whole runs of the real vorline executable on small hand-made games and positions: which
// EPD lines are found, the exact text of every game written, and that every line comes out
// in exactly one place. The positions were written by pgn-extract, which names the en
// passant square after every double step.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "pgn/game.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

const std::string initial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
const std::string after_e4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3";
const std::string after_e4_e5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6";
const std::string after_nf3 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -";
const std::string after_nc6 = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -";

// A written game: the seven tags in this order, the movetext and the "*" result.
std::string tool_game(const std::string& movetext) {
    return "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"1\"]\n[White \"?\"]\n"
           "[Black \"?\"]\n[Result \"*\"]\n\n" +
           movetext + " *\n\n";
}

std::string game_text(const std::string& event, const std::string& movetext) {
    return "[Event \"" + event + "\"]\n[Result \"*\"]\n\n" + movetext + "\n\n";
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class OpeningIndexRun : public ::testing::Test {
protected:
    // Runs vorline on the games and positions, with "-d depth" unless depth is empty, and
    // keeps what it wrote. Every run must end normally, only append to the output and
    // account for every EPD line: one new game or one line of failed.epd each.
    void run(const std::string& pgn, const std::string& epd, const std::string& depth = "") {
        dir.write("games.pgn", pgn);
        dir.write("pos.epd", epd);
        const std::string before = dir.read("pos.pgn");
        std::vector<std::string> arguments{"-p", "games.pgn", "-e", "pos.epd"};
        if (!depth.empty()) arguments.insert(arguments.end(), {"-d", depth});
        const ProcessResult result = run_process(VORLINE_EXE, arguments, dir.path().string());
        ASSERT_EQ(result.exit_status, 0) << result.err;
        ASSERT_EQ(result.out, "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n");
        output = dir.read("pos.pgn");
        failed = dir.read("failed.epd");
        ASSERT_TRUE(output.starts_with(before));
        const std::size_t lines = count(epd, "\n") + (!epd.empty() && epd.back() != '\n');
        EXPECT_EQ(count(output, "[Event ") - count(before, "[Event ") + count(failed, "\n"), lines)
            << "every EPD line comes out in exactly one place";
        output.erase(0, before.size());
    }

    TempDir dir;
    std::string output, failed;
};

// Moves are written by the library: marks are those of the moves, not of the game text,
// and lines wrap at 79 characters.
TEST_F(OpeningIndexRun, GamesAreWrittenByteForByte) {
    run(game_text("A", "1. e4 e5 2. Nf3 Nc6 3. Bc4 *"), after_nf3 + " 0 2\n");
    EXPECT_EQ(output, tool_game("1. e4 e5 2. Nf3"));
    EXPECT_EQ(failed, "");

    run(game_text("A", "1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6 4. Qxf7 *") +
            game_text("B", "1. e4+ f6 2. Qh5 *"),
        "r1bqkb1r/pppp1Qpp/2n2n2/4p3/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq -\n"
        "rnbqkbnr/ppppp1pp/5p2/7Q/4P3/8/PPPP1PPP/RNB1KBNR b KQkq -\n");
    EXPECT_EQ(output,
              tool_game("1. e4 e5 2. Bc4 Nc6 3. Qh5 Nf6 4. Qxf7#") + tool_game("1. e4 f6 2. Qh5+"));

    run(game_text("Ruy Lopez",
                  "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3 "
                  "O-O 9. h3 Nb8 10. d4 Nbd7 11. Nbd2 Bb7 12. Bc2 Re8 13. Nf1 Bf8 1/2-1/2"),
        "r2qr1k1/1bpnbppp/p2p1n2/1p2p3/3PP3/2P2N1P/PPBN1PP1/R1BQR1K1 w - -\n");
    EXPECT_EQ(
        output,
        tool_game("1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3\n"
                  "O-O 9. h3 Nb8 10. d4 Nbd7 11. Nbd2 Bb7 12. Bc2 Re8"));
}

TEST_F(OpeningIndexRun, DepthBoundsTheHalfMovesIndexed) {
    const std::string pgn = game_text("A", "1. e4 e5 2. Nf3 Nc6 3. Bb5 *");
    const std::string epd = after_nf3 + "\n" + after_nc6 + "\n";
    run(pgn, epd, "3");
    EXPECT_EQ(output, tool_game("1. e4 e5 2. Nf3"));
    EXPECT_EQ(failed, after_nc6 + "\n");
    for (const char* nothing : {"0", "abc", "-0"}) {
        run(pgn, epd, nothing);
        EXPECT_EQ(output, "") << nothing;
        EXPECT_EQ(failed, epd) << nothing;
    }
}

TEST_F(OpeningIndexRun, GameTextHoldingFenAnywhereIsSkipped) {
    const std::string pgn =
        "[Event \"tag\"]\n[SetUp \"1\"]\n"
        "[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\"]\n\n1. b3 *\n\n" +
        game_text("comment", "1. g3 {FEN} *") + game_text("value FENton", "1. a3 *") +
        game_text("lower case", "1. h3 {a fen in lower case} *");
    const std::string skipped =
        "rnbqkbnr/pppppppp/8/8/8/1P6/P1PPPPPP/RNBQKBNR b KQkq -\n"
        "rnbqkbnr/pppppppp/8/8/8/6P1/PPPPPP1P/RNBQKBNR b KQkq -\n"
        "rnbqkbnr/pppppppp/8/8/8/P7/1PPPPPPP/RNBQKBNR b KQkq -\n";
    run(pgn, skipped + "rnbqkbnr/pppppppp/8/8/8/7P/PPPPPPP1/RNBQKBNR b KQkq -\n");
    EXPECT_EQ(output, tool_game("1. h3"));
    EXPECT_EQ(failed, skipped);
}

// 4. Bd5 (half move 7) is illegal: the six half moves before it count, nothing after.
TEST_F(OpeningIndexRun, IllegalMoveKeepsTheHalfMovesBeforeIt) {
    const std::string after_a6 = "r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R w KQkq -";
    const std::string after_ba4 = "r1bqkbnr/1ppp1ppp/p1n5/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R b KQkq -";
    run(game_text("A", "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Bd5 Nf6 5. Ba4 *") +
            game_text("B", "1. d4 *"),
        after_a6 + "\n" + after_ba4 + "\nrnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3\n",
        "10");
    EXPECT_EQ(output, tool_game("1. e4 e5 2. Nf3 Nc6 3. Bb5 a6") + tool_game("1. d4"));
    EXPECT_EQ(failed, after_ba4 + "\n");
}

// Positions reached by play carry the en passant square only when a pawn can take; EPD
// texts name it after every double step.
TEST_F(OpeningIndexRun, EnPassantSquareCountsOnlyWhenAPawnCanTake) {
    const std::string capturable = "rnbqkbnr/pp2pppp/8/2ppP3/8/8/PPPP1PPP/RNBQKBNR w KQkq ";
    run(game_text("A", "1. e4 c5 2. e5 d5 *") + game_text("B", "1. e4 e5 *"),
        after_e4 + "\nrnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -\n" + after_e4_e5 +
            "\n" + capturable + "d6\n" + capturable + "-\n");
    EXPECT_EQ(output, tool_game("1. e4") + tool_game("1. e4") + tool_game("1. e4 e5") +
                          tool_game("1. e4 c5 2. e5 d5"));
    EXPECT_EQ(failed, capturable + "-\n");
}

// The initial position is reached by no move at all: at every depth, with or without a game
// that returns to it (which records it), its lines are answered by the game without moves,
// and a walk from a later position still ends there. The same placement with other castling
// rights or the other side to move is another position.
TEST_F(OpeningIndexRun, InitialPositionIsAnsweredWithoutMoves) {
    const std::string returning = game_text("A", "1. Nf3 Nf6 2. Ng1 Ng8 3. e4 *");
    const std::string elsewhere =
        "[Event \"empty\"]\n\n*\n\n" + game_text("short", "1. e4 1-0") + game_text("B", "1. d4 *");
    const std::string others =
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq -\n"
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -\n";
    std::string no_moves = tool_game("");
    no_moves.erase(no_moves.size() - 4, 1);  // the result alone: "*"
    for (const char* depth : {"0", "1", "24", "-1"}) {
        for (const bool returns : {true, false}) {
            SCOPED_TRACE(std::string(depth) + (returns ? " returning" : ""));
            run(returns ? returning : elsewhere,
                initial + "\n" + initial + " 0 1\n" + after_e4 + "\n" + others, depth);
            // 1. e4 is the fifth half move of the returning game, the first of another.
            const bool e4_found =
                std::string(depth) != "0" && !(std::string(depth) == "1" && returns);
            EXPECT_EQ(output, no_moves + no_moves + (e4_found ? tool_game("1. e4") : ""));
            EXPECT_EQ(failed, (e4_found ? "" : after_e4 + "\n") + others);
        }
    }

    // Read back by our reader and by pgn-extract: a game that stands at the initial position.
    Game game;
    game.read_pgn(no_moves);
    EXPECT_EQ(game.get_last_position(), initial + " 0 1");
    EXPECT_EQ(game.get_tag("Result"), "*");
    std::string extract = "/usr/games/pgn-extract";
    if (!std::filesystem::exists(extract)) extract = "/usr/bin/pgn-extract";
    if (!std::filesystem::exists(extract))
        GTEST_SKIP() << "pgn-extract is not installed (apt-get install pgn-extract)";
    dir.write("initial.pgn", no_moves);
    // It writes the game back as it stands, and its one position, as EPD.
    const ProcessResult same = run_process(extract, {"-s", "initial.pgn"}, dir.path().string());
    EXPECT_EQ(std::tie(same.exit_status, same.out, same.err), std::make_tuple(0, no_moves, ""));
    const ProcessResult positions =
        run_process(extract, {"-s", "-Wepd", "initial.pgn"}, dir.path().string());
    EXPECT_EQ(positions.exit_status, 0);
    EXPECT_TRUE(positions.out.starts_with(initial + " c0 ")) << positions.out;
    EXPECT_EQ(std::count(positions.out.begin(), positions.out.end(), '\n'), 2);
}

}  // namespace

}  // namespace vorline
