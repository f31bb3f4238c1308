// Inputs saved from fuzzing, run through the same checks as the fuzz targets: cutting a
// byte stream into game texts, and reading, stepping through and writing a game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzz/pgn_file_check.h"
#include "fuzz/pgn_game_check.h"
#include "support/saved_inputs.h"
#include "support/temp_dir.h"

namespace {

TEST(FuzzRegressions, PgnFileCutting) {
    TempDir dir;
    for (const auto& file : saved_inputs("pgn_file")) {
        EXPECT_NO_THROW(check_pgn_file(bytes_of(file), dir.file("games.pgn"))) << file;
    }
}

TEST(FuzzRegressions, GameReading) {
    for (const auto& file : saved_inputs("pgn_game")) {
        EXPECT_NO_THROW(check_pgn_game(bytes_of(file))) << file;
    }
}

// A run of stray ")" followed by a run of "(" that is never closed: each "(" must not
// keep (or scan) the whole rest of the movetext.
TEST(FuzzRegressions, UnclosedParenthesesAfterStrayOnesStayLinear) {
    const std::size_t count = 20000;
    const std::string text =
        "[Event \"x\"]\n\n1. e4 " + std::string(count, ')') + std::string(count, '(') + " e5 *\n";
    EXPECT_NO_THROW(check_pgn_game(text));
}

// A "(" that nothing closes keeps a long rest of the text only as far as it names a line:
// each variation node must name the line that the whole rest names.
TEST(FuzzRegressions, UnclosedVariationNamesWhatItsWholeRestNames) {
    const std::string pad(80, 'x');
    const std::vector<std::string> texts = {
        "e4 ( 3 e5" + pad,
        "e4 (" + std::string(100, '(') + " 0007x" + pad,
        "( \t000000000000 e5" + pad,
        "(123456789012" + pad,
        "(4294967295" + pad,
        "(4294967296" + pad,
        "(e4 (2" + pad,
        "(abc",
        "((( 12",
        "(" + std::string(70, ' ') + "(1",
    };
    for (const std::string& text : texts) {
        std::vector<std::size_t> opens;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '(') opens.push_back(i);
        std::size_t k = 0;
        for (const GameNode& node : Game::tokenize_movetext(text)) {
            if (node.kind != NodeKind::variation) continue;
            ASSERT_LT(k, opens.size()) << text;
            const std::string_view rest = std::string_view(text).substr(opens[k++] + 1);
            EXPECT_EQ(referred_line(node.text), referred_line(rest)) << text;
            EXPECT_LE(node.text.size(), 64u) << text;
        }
        EXPECT_EQ(k, opens.size()) << text;
    }
}

}  // namespace
