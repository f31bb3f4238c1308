// Real game files: every game reads, steps through its main line, and reads back the same
// from its full PGN text; reading only the opening gives the same record as trimming.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/pgn_game_check.h"
#include "pgn/game.h"
#include "pgn/pgn_file.h"

namespace {

namespace fs = std::filesystem;

fs::path data_dir() { return fs::path(VORLINE_DATA_DIR) / "games"; }

std::vector<fs::path> game_files() {
    std::vector<fs::path> files;
    const fs::path samples = data_dir() / "samples";
    if (fs::is_directory(samples))
        for (const auto& entry : fs::directory_iterator(samples))
            if (entry.path().extension() == ".pgn") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (fs::exists(data_dir() / "bench.pgn")) files.push_back(data_dir() / "bench.pgn");
    return files;
}

bool same_node(const GameNode& x, const GameNode& y) {
    return x.kind == y.kind && x.text == y.text && x.white == y.white &&
           x.move_number == y.move_number;
}

// Result nodes are left out: the writer writes the game's result once at the end instead,
// so they do not come back from its text where they stood.
bool same_lines(const Game& a, const Game& b) {
    if (a.lines().size() != b.lines().size()) return false;
    for (std::size_t l = 0; l < a.lines().size(); ++l) {
        const GameLine& x = a.lines()[l];
        const GameLine& y = b.lines()[l];
        std::size_t i = 0;
        std::size_t j = 0;
        for (;; ++i, ++j) {
            while (i < x.size() && x[i].kind == NodeKind::result) ++i;
            while (j < y.size() && y[j].kind == NodeKind::result) ++j;
            if (i == x.size() || j == y.size()) break;
            if (!same_node(x[i], y[j])) return false;
        }
        if (i != x.size() || j != y.size()) return false;
    }
    return true;
}

bool same_tags(const Game& a, const Game& b) {
    return std::equal(a.tag_order().begin(), a.tag_order().end(), b.tag_order().begin(),
                      b.tag_order().end()) &&
           std::equal(a.tags().begin(), a.tags().end(), b.tags().begin(), b.tags().end());
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

struct FileReport {
    std::size_t games = 0;
    std::vector<std::string> round_trip_failures;
    std::vector<std::string> opening_mismatches;
};

FileReport check_file(const fs::path& path) {
    FileReport report;
    Game game;
    Game again;
    Game opening;
    PgnFile file;
    file.open_read(path.string());
    for (const std::string* text = &file.read_first_game(); !text->empty();
         text = &file.read_next_game()) {
        ++report.games;
        game.read_pgn(*text);
        try {
            while (game.step_forward() != Game::Step::end_of_line) {
            }
        } catch (const SanError&) {  // an unreadable or illegal move ends the game
        }

        again.read_pgn(game.get_full_pgn());
        if (writable_as_read(game) && (!same_tags(game, again) || !same_lines(game, again) ||
                                       again.get_result() != game.get_result()))
            report.round_trip_failures.push_back(*text);

        game.keep_opening(24);
        game.get_first_position();
        opening.read_opening(*text, 24);
        if (pgn_game_check::fingerprint(game) != pgn_game_check::fingerprint(opening))
            report.opening_mismatches.push_back(*text);
    }
    return report;
}

}  // namespace

TEST(RealGames, ReadStepWriteAndReadBack) {
    const std::vector<fs::path> files = game_files();
    if (files.empty()) GTEST_SKIP() << "no game files under " << data_dir();
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        testing::internal::CaptureStderr();  // unreadable FEN tags are reported there
        const FileReport report = check_file(path);
        testing::internal::GetCapturedStderr();
        EXPECT_GT(report.games, 0u);
        EXPECT_TRUE(report.round_trip_failures.empty())
            << report.round_trip_failures.size() << " games, first:\n"
            << report.round_trip_failures.front();
        EXPECT_TRUE(report.opening_mismatches.empty())
            << report.opening_mismatches.size() << " games, first:\n"
            << report.opening_mismatches.front();
    }
}
