// Opening check: the tool's opening player and game writer against the full reader.
#pragma once

// The tool's fast paths against the full reader. A game text is played with the tool's
// opening player and, as the reference, read with Game::read_opening and stepped through:
// both must give the same steps (key and move) and stop at the same place. The moves
// played are then written as an output game by the tool's writer and, as the reference,
// added to a cleared Game with the roster tags: both must give the same text.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "board/move_list.h"
#include "checks/check_support.h"
#include "pgn/game.h"
#include "pgn/roster_tags.h"
#include "tool/opening_game_writer.h"
#include "tool/opening_player.h"

namespace vorline {

namespace opening_check {

// The steps of the text's opening as the full reader gives them.
inline std::vector<OpeningStep> reference_steps(Game& game, std::string_view text,
                                                std::uint32_t depth) {
    std::vector<OpeningStep> steps;
    game.read_opening(text, depth);
    try {
        while (steps.size() < depth && game.step_forward() == Game::Step::move_played) {
            const ChessPosition& position = std::as_const(game).get_position();
            steps.push_back({position.hash(), position.last_move().word()});
        }
    } catch (const std::logic_error&) {
        // The line ends at its first move that cannot be read or played.
    }
    return steps;
}

// The output game for the moves (first move first) built through a Game record.
inline std::string reference_game(Game& game, const std::vector<std::uint32_t>& moves) {
    game.clear();
    for (const auto& [name, value] : roster_tags) game.set_tag(name, value);
    for (const std::uint32_t word : moves) {
        const Move wanted = Move::from_word(word);
        MoveList legal;
        std::as_const(game).get_position().generate_legal_moves(legal);
        const Move* match = nullptr;
        for (const Move& move : legal)
            if (move.from_index() == wanted.from_index() && move.to_index() == wanted.to_index() &&
                move.code() == wanted.code()) {
                match = &move;
                break;
            }
        if (match == nullptr) return "";
        game.add_move(*match);
    }
    return game.get_pgn();
}

}  // namespace opening_check

inline void check_opening(std::string_view text, std::uint32_t depth) {
    using namespace opening_check;
    // The tool skips games that start elsewhere; the player starts every game at the start.
    if (text.find("FEN") != std::string_view::npos) return;
    static Game game;
    static const AttackTables tables;
    static OpeningPlayer player(tables);
    static OpeningGameWriter writer(tables);
    const std::vector<OpeningStep> expected = reference_steps(game, text, depth);
    std::vector<OpeningStep> steps;
    player.play_game(text, depth, steps);
    require(steps.size() == expected.size(), "the player stops where the full reader stops");
    for (std::size_t i = 0; i < steps.size(); ++i)
        require(steps[i].key == expected[i].key && steps[i].move == expected[i].move,
                "the player makes the moves the full reader makes");
    if (steps.empty()) return;

    std::vector<std::uint32_t> moves;
    for (const OpeningStep& step : steps) moves.push_back(step.move);
    const std::string reference = reference_game(game, moves);
    std::vector<std::uint32_t> last_first(moves.rbegin(), moves.rend());
    std::string written;
    require(writer.write(last_first, written), "the writer replays moves that were played");
    require(written == reference, "the writer writes the game a Game record writes");
    // A move that is not legal where it stands is refused, as the reference refuses it.
    last_first.front() ^= 0x3F;  // the last move's destination moved elsewhere
    moves.back() ^= 0x3F;
    const std::string refused = reference_game(game, moves);
    const bool accepted = writer.write(last_first, written);
    require(accepted == !refused.empty() && (!accepted || written == refused),
            "the writer refuses what the reference refuses");
}

}  // namespace vorline
