// A whole run of the real vorline executable at depth 24 on 100 MB of real games, with EPD
// lines drawn from the positions those games reach (written with an en passant field after
// every double step, as most programs write them) and lines of real engine test suites.
// The library replays the games on its own to know which lines must be found, and replays
// every game the tool wrote to check that it is legal and leads to its line's position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "checks/opening_check.h"
#include "pgn/game.h"
#include "pgn/pgn_file.h"
#include "support/process.h"
#include "support/reference_data.h"
#include "support/temp_dir.h"
#include "tool/opening_phases.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t depth = 24;

// The FEN text of the position with the square behind a pawn that has just made a double
// step named as en passant square, whether or not a pawn can take there.
std::string fen_with_every_en_passant_square(const ChessPosition& position) {
    std::string fen = position.fen();
    const Move last = position.last_move();
    const std::uint32_t from = last.from_index(), to = last.to_index();
    if (last.is_empty() || !last.piece().is_pawn() || (from != to + 16 && to != from + 16))
        return fen;
    const std::uint32_t passed = (from + to) / 2;
    // Fields: placement, side, castling, en passant, and maybe the two counters.
    std::size_t start = 0;
    for (int field = 0; field < 3; ++field) start = fen.find(' ', start) + 1;
    return fen.replace(start, fen.find(' ', start) - start,
                       {char('a' + passed % 8), char('1' + passed / 8)});
}

// What the library itself finds in the games: the key of every position reached within
// `depth` half moves of a game without "FEN" in its text, and a sample of them as EPD lines.
struct Reached {
    std::unordered_set<std::uint64_t> keys;
    std::vector<std::string> lines;
};

Reached replay_games(const std::string& path) {
    Reached reached;
    PgnFile file;
    file.open_read(path);
    Game game;
    std::uint64_t count = 0;
    for (const std::string* text = &file.read_first_game(); !text->empty();
         text = &file.read_next_game()) {
        if (text->find("FEN") != std::string::npos) continue;
        try {
            game.read_pgn(*text);
            for (std::uint32_t step = 0; step < depth; ++step) {
                if (game.step_forward() != Game::Step::move_played) break;
                const ChessPosition& position = std::as_const(game).get_position();
                reached.keys.insert(position.hash());
                if (++count % 61 != 0) continue;
                // Some lines carry EPD operations after the position.
                std::string line = fen_with_every_en_passant_square(position);
                if (count % 5 == 0) line += " bm Nf3; id \"sample\";";
                reached.lines.push_back(std::move(line));
            }
        } catch (const std::exception&) {
            // The game ends at its first move that cannot be read or played.
        }
    }
    return reached;
}

// Every line of the engine test suites, carriage returns at line ends dropped.
std::vector<std::string> suite_lines(const fs::path& folder) {
    std::vector<fs::path> files(fs::recursive_directory_iterator(folder), {});
    std::erase_if(files, [](const fs::path& file) { return !fs::is_regular_file(file); });
    std::sort(files.begin(), files.end());
    std::vector<std::string> lines;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (line.ends_with('\r')) line.pop_back();
            if (line.find('\r') == std::string::npos) lines.push_back(line);
        }
    }
    return lines;
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(separator, at), text.size());
        pieces.push_back(text.substr(at, end - at));
        at = end + separator.size();
    }
    return pieces;
}

TEST(OpeningIndexRealData, EveryLineIsAnsweredAndEveryGameLeadsToItsPosition) {
    const fs::path data = VORLINE_DATA_DIR;
    const std::string games_path = (data / "games" / "bench.pgn").string();
    if (!fs::exists(games_path) || !fs::exists(data / "epd" / "test-suites"))
        GTEST_SKIP() << "no reference data in " << data;

    const Reached reached = replay_games(games_path);
    ASSERT_GT(reached.lines.size(), 10000u);
    std::vector<std::string> lines = reached.lines;
    std::ranges::copy(suite_lines(data / "epd" / "test-suites"), std::back_inserter(lines));

    // Which lines must be found: those whose position (as the tool looks it up) was reached,
    // and the initial position, always found.
    const AttackTables tables;
    ChessPosition position(tables);
    position.set_start_position();
    const std::uint64_t initial_key = position.lookup_key();
    std::vector<std::uint64_t> line_keys;
    std::vector<std::string> expected_failed;
    std::string epd;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        epd += lines[i] + (i % 3 == 0 ? "\r\n" : "\n");
        try {
            position.fen(lines[i]);
            const std::uint64_t key = position.lookup_key();
            if (reached.keys.count(key) || key == initial_key) {
                line_keys.push_back(key);
                continue;
            }
        } catch (const std::exception&) {
        }
        expected_failed.push_back(lines[i]);
    }

    TempDir dir;
    dir.write("pos.epd", epd);
    const ProcessResult result =
        run_process(VORLINE_EXE, {"-p", games_path, "-e", "pos.epd", "-d", std::to_string(depth)},
                    dir.path().string(), 120);
    ASSERT_EQ(result.exit_status, 0) << result.err.substr(0, 2000);
    const std::vector<std::string> failed = split(dir.read("failed.epd"), "\n");
    // The games of the output, each ending in its blank line.
    std::vector<std::string> written = split(dir.read("pos.pgn"), "\n\n[Event ");
    for (std::size_t i = 0; i < written.size(); ++i)
        written[i] =
            (i == 0 ? "" : "[Event ") + written[i] + (i + 1 == written.size() ? "" : "\n\n");

    EXPECT_EQ(written.size() + failed.size(), lines.size());
    EXPECT_EQ(written.size(), line_keys.size()) << "every position reached is found";
    ASSERT_EQ(failed, expected_failed);

    // Replay every written game with the library: every move legal, the last position the
    // line's (no moves for the initial position alone), the text framed by the seven tags
    // and the "*" result (on a line of its own when the movetext fills its last line or is
    // the result alone), no line longer than 79 characters.
    const std::string tags =
        "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"1\"]\n[White \"?\"]\n"
        "[Black \"?\"]\n[Result \"*\"]\n\n";
    Game game;
    std::size_t bad = 0;
    for (std::size_t i = 0; i < written.size() && i < line_keys.size() && bad < 10; ++i) {
        const std::string& text = written[i];
        std::string fault;
        try {
            game.read_pgn(text);
            std::uint32_t moves = 0;
            while (game.step_forward() == Game::Step::move_played) ++moves;
            if ((moves == 0) != (line_keys[i] == initial_key) ||
                std::as_const(game).get_position().hash() != line_keys[i])
                fault = "wrong position";
        } catch (const std::exception& error) {
            fault = std::string("cannot be replayed: ") + error.what();
        }
        if (!text.starts_with(tags) || !(text.ends_with(" *\n\n") || text.ends_with("\n*\n\n")))
            fault += " badly framed";
        for (const std::string& line : split(text, "\n"))
            if (line.size() > 79) fault += " line too long";
        if (fault.empty()) continue;
        ++bad;
        ADD_FAILURE() << "game " << i << ": " << fault << "\n" << text;
    }
}

// The tool's fast paths against the full reader on every game of the real files.
TEST(OpeningIndexRealData, FastPathsAgreeWithTheFullReaderOnEveryGame) {
    const std::vector<std::string> files = reference_game_files();
    if (files.empty()) GTEST_SKIP() << "reference data absent";
    std::size_t checked = 0;
    for (const std::string& path : files) {
        PgnFile file;
        file.open_read(path);
        for (const std::string* text = &file.read_first_game(); !text->empty();
             text = &file.read_next_game(), ++checked)
            ASSERT_NO_THROW(check_opening(*text, depth)) << path << "\n" << *text;
    }
    EXPECT_GT(checked, 100000u);
}

}  // namespace

}  // namespace vorline
