// Real game files: every game reads, steps through its main line, and reads back the same
// from its full PGN text; every game passes the game fuzz target's checks (stepping back
// returns to the start, reading only the opening gives the same record as trimming).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "checks/pgn_game_check.h"
#include "pgn/game.h"
#include "pgn/pgn_file.h"
#include "support/reference_data.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

// What a record's PGN text carries: the tags and their order, the result, and every line's
// nodes but its result nodes (the writer writes the game's result once at the end instead).
std::string carried(const Game& game) {
    std::string text = "result " + game.get_result() + "\n";
    for (const auto& [name, value] : game.tags()) text += "tag " + name + "=" + value + "\n";
    for (const std::string& name : game.tag_order()) text += "order " + name + "\n";
    for (const GameLine& line : game.lines()) {
        text += "line\n";
        for (const GameNode& node : line)
            if (node.kind != NodeKind::result)
                text += std::to_string(int(node.kind)) + ' ' + std::to_string(node.white) + ' ' +
                        std::to_string(node.move_number) + ' ' + node.text + '\n';
    }
    return text;
}

// Records that PGN text cannot carry back: a comment holding "}" (read from a ";" comment,
// written in braces) and an empty variation line (written "()", which reads as nothing).
bool writable_as_read(const Game& game) {
    for (std::size_t l = 0; l < game.lines().size(); ++l) {
        if (l > 0 && game.lines()[l].empty()) return false;
        for (const GameNode& node : game.lines()[l])
            if (node.kind == NodeKind::comment && node.text.find('}') != std::string::npos)
                return false;
    }
    return true;
}

}  // namespace

TEST(RealGames, ReadStepWriteAndReadBack) {
    const std::vector<std::string> files = reference_game_files();
    if (files.empty()) GTEST_SKIP() << "reference data absent";
    Game game, again;
    for (const fs::path path : files) {
        SCOPED_TRACE(path.filename().string());
        testing::internal::CaptureStderr();  // unreadable FEN tags are reported there
        std::size_t games = 0;
        std::vector<std::string> failures;
        PgnFile file;
        file.open_read(path.string());
        for (const std::string* text = &file.read_first_game(); !text->empty();
             text = &file.read_next_game(), ++games) {
            game.read_pgn(*text);
            try {
                while (game.step_forward() != Game::Step::end_of_line) {
                }
            } catch (const SanError&) {  // an unreadable or illegal move ends the game
            }
            again.read_pgn(game.get_full_pgn());
            if (writable_as_read(game) && carried(game) != carried(again))
                failures.push_back("read back differs:\n" + *text);
            try {
                check_pgn_game(*text);
            } catch (const PropertyViolated& e) {
                failures.push_back(e.what() + std::string(":\n") + *text);
            }
        }
        testing::internal::GetCapturedStderr();
        EXPECT_GT(games, 0u);
        EXPECT_TRUE(failures.empty()) << failures.size() << " games, first: " << failures.front();
    }
}

}  // namespace vorline
