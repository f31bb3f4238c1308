// vorline-bench read <pgn file> [half moves]: the tool's first phase without the index.
// Every game text of the file is read and stepped through its first half moves (24 unless
// given), as the tool does: texts holding "FEN" are skipped, the opening is read and each
// step takes the position's key. Timed in the same run against cutting the file alone
// (the floor: no reader can be faster than the file is cut); the tool's opening player
// against the game record's opening reader and against reading every game in full before
// trimming it (the general path), all three with the same steps.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_command.h"
#include "pgn/game.h"
#include "pgn/pgn_file.h"
#include "tool/opening_player.h"

namespace vorline {

namespace {

struct Tally {
    std::size_t games = 0;
    std::size_t bytes = 0;
    std::size_t steps = 0;
    std::size_t failed = 0;  // games ended early by a move that could not be played
    std::uint64_t checksum = 0;
};

template <typename PerGame>
Tally run_file(const std::string& file_name, PerGame&& per_game) {
    Tally tally;
    PgnFile file;
    file.open_read(file_name);
    for (const std::string* text = &file.read_first_game(); !text->empty();
         text = &file.read_next_game()) {
        ++tally.games;
        tally.bytes += text->size();
        per_game(*text, tally);
    }
    return tally;
}

// Steps the game's main line as the tool does, at most `depth` half moves: a step that
// plays no move ends it.
void step_opening(Game& game, std::uint32_t depth, Tally& tally) {
    try {
        for (std::uint32_t i = 0; i < depth; ++i) {
            if (game.step_forward() != Game::Step::move_played) break;
            tally.checksum += game.get_position().hash() ^ game.get_position().last_move().word();
            ++tally.steps;
        }
    } catch (const SanError&) {
        ++tally.failed;
    }
}

template <typename Function>
double seconds_for(Function&& function) {
    const auto start = std::chrono::steady_clock::now();
    function();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, const Tally& tally, double seconds, double reference_seconds) {
    std::printf(
        "%-34s %9.0f games/s %7.1f MB/s  %5.2f s  x%.2f of cutting time  "
        "(%zu games, %zu steps, %zu failed, checksum %04llx)\n",
        what, tally.games / seconds, tally.bytes / seconds / 1e6, seconds,
        seconds / reference_seconds, tally.games, tally.steps, tally.failed,
        static_cast<unsigned long long>(tally.checksum & 0xFFFF));
}

int run(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorline-bench read <pgn file> [half moves]\n");
        return 2;
    }
    const std::string file_name = argv[1];
    const std::uint32_t depth =
        argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 24;
    {
        PgnFile probe;
        probe.open_read(file_name);
        if (!probe.is_reading()) {
            std::fprintf(stderr, "cannot open %s\n", file_name.c_str());
            return 1;
        }
    }
    Game game;

    Tally cut;
    const double cutting = seconds_for([&] {
        cut = run_file(file_name, [](const std::string& text, Tally& tally) {
            tally.checksum += static_cast<unsigned char>(text[text.size() / 2]);
        });
    });
    report("cut only (reference)", cut, cutting, cutting);

    // The tool's first phase: each opening played straight from the text into steps.
    Tally played;
    const AttackTables tables;
    OpeningPlayer player(tables);
    std::vector<OpeningStep> steps;
    const double playing = seconds_for([&] {
        played = run_file(file_name, [&](const std::string& text, Tally& tally) {
            const GameOutcome outcome = player.play_game(text, depth, steps);
            tally.failed += outcome == GameOutcome::stopped_early;
            for (const OpeningStep& step : steps) tally.checksum += step.key ^ step.move;
            tally.steps += steps.size();
        });
    });
    report("cut + opening player", played, playing, cutting);

    Tally opening;
    const double reading_openings = seconds_for([&] {
        opening = run_file(file_name, [&](const std::string& text, Tally& tally) {
            if (text.find("FEN") != std::string::npos) return;
            game.read_opening(text, depth);
            game.rewind();
            step_opening(game, depth, tally);
        });
    });
    report("cut + read_opening + steps", opening, reading_openings, cutting);

    Tally full;
    const double reading_full = seconds_for([&] {
        full = run_file(file_name, [&](const std::string& text, Tally& tally) {
            if (text.find("FEN") != std::string::npos) return;
            game.read_pgn(text);
            game.keep_opening(depth);
            game.get_first_position();
            step_opening(game, depth, tally);
        });
    });
    report("cut + read_pgn + keep_opening + steps", full, reading_full, cutting);

    const double read_only = reading_openings - cutting;
    std::printf("read_opening + %u steps alone: about %.0f games/s (cutting subtracted)\n", depth,
                opening.games / read_only);
    return opening.checksum == full.checksum && opening.steps == full.steps &&
                   played.checksum == full.checksum && played.steps == full.steps
               ? 0
               : 1;
}

const BenchRegistration registration("read", "<pgn file> [half moves]", run);

}  // namespace

}  // namespace vorline
