#include "tool/opening_phases.h"

#include <string>
#include <utility>

#include "board/hash_keys.h"
#include "board/move_list.h"
#include "pgn/roster_tags.h"
#include "tool/epd_line.h"
#include "tool/interruption.h"
#include "tool/output_file.h"

namespace {

std::uint64_t start_key() {
    const AttackTables tables;
    ChessPosition position(tables);
    position.set_start_position();
    return position.hash();
}

}  // namespace

std::uint64_t lookup_key(const ChessPosition& position) { return position.lookup_key(); }

OpeningPhases::OpeningPhases()
    : tables_(std::make_unique<const AttackTables>()),
      epd_position_(*tables_),
      index_(start_key()) {}

void OpeningPhases::build_index(PgnFile& games, std::uint32_t depth) {
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
        stop_if_interrupted();
        // A game with a FEN tag starts elsewhere; any "FEN" in the text skips the game.
        if (text->find("FEN") != std::string::npos) continue;
        try {
            // The game as read and cut to its first `depth` half moves, cursor at the start.
            game_.read_opening(*text, depth);
            OpeningIndex::Node parent = OpeningIndex::root;
            if (game_.get_hash() != index_.root_key()) continue;  // never from the start
            for (std::uint32_t step = 0; step < depth; ++step) {
                // Only a step that plays a move records anything: past the last move, or
                // past a trailing result, the line is exhausted.
                if (game_.step_forward() != Game::Step::move_played) break;
                const ChessPosition& position = std::as_const(game_).get_position();
                parent = index_.record(position.hash(), parent, position.last_move().word());
            }
        } catch (const SanError&) {
            // An unreadable or illegal move ends this game only; the positions it has added
            // stay. Anything else (no memory, a read error) ends the run.
        } catch (const FenError&) {
            // So does a start position that cannot be read.
        }
    }
}

bool OpeningPhases::build_game() {
    game_.clear();
    for (const auto& [name, value] : roster_tags) game_.set_tag(name, value);
    for (auto it = moves_.rbegin(); it != moves_.rend(); ++it) {
        // Replay the legal move with the same squares and kind, as the generator gives it
        // (with its check bit), so the written text never depends on how a game marked it.
        const Move wanted = Move::from_word(*it);
        MoveList legal;
        std::as_const(game_).get_position().generate_legal_moves(legal);
        const Move* match = nullptr;
        for (const Move& move : legal) {
            if (move.from_index() == wanted.from_index() && move.to_index() == wanted.to_index() &&
                move.code() == wanted.code()) {
                match = &move;
                break;
            }
        }
        if (match == nullptr) return false;
        game_.add_move(*match);
    }
    return true;
}

void OpeningPhases::answer_positions(EpdLineReader& epd_lines, OutputFile& failed_lines,
                                     OutputFile& output) {
    std::string_view line;
    while (epd_lines.next(line)) {
        stop_if_interrupted();
        bool found = false;
        try {
            epd_position_.fen(line);
            found = index_.walk_back(lookup_key(epd_position_), moves_) && build_game();
        } catch (const FenError&) {
            found = false;  // a line the FEN reader rejects is not found
        }
        if (found) {
            output.write(game_.get_pgn());
        } else {
            failed_lines.write(line);
            failed_lines.write("\n");
        }
    }
}
