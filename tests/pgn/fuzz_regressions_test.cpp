// Inputs saved from fuzzing every reader (FEN, FEN with move generation, SAN, PGN games,
// file cutting), run through the same checks as the fuzz targets.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "checks/fen_check.h"
#include "checks/fen_moves_check.h"
#include "checks/pgn_file_check.h"
#include "checks/pgn_game_check.h"
#include "checks/san_check.h"
#include "support/saved_inputs.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

// Each target's saved inputs, in tests/regressions/<target>/.
TEST(FuzzRegressions, SavedInputsPassTheirTargetsChecks) {
    const TempDir dir;
    const std::pair<const char*, std::function<void(std::string_view)>> targets[] = {
        {"fen", check_fen},
        {"fen_moves", check_fen_moves},
        {"san", check_san},
        {"pgn_game", check_pgn_game},
        {"pgn_file",
         [&](std::string_view input) { check_pgn_file(input, dir.file("games.pgn")); }}};
    for (const auto& [target, check] : targets)
        for (const auto& file : saved_inputs(target))
            EXPECT_NO_THROW(check(bytes_of(file))) << file;
}

// A "(" that nothing closes keeps a long rest of the text only as far as it names a line:
// each variation node must name the line that the whole rest names, and keep no more.
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
        "e4 " + std::string(20000, ')') + std::string(20000, '(') + " e5 *",  // stray ones first
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

}  // namespace vorline
