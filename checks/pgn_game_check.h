// PGN game check: a text read as one game, stepped through, written and trimmed.
#pragma once

// Reads a text as one game's PGN, then does with it what the tool and a library user
// would: steps through the main line and back, writes the full PGN text, and reads the
// opening alone. Checks that the stored texts and the written text stay within a bound
// of the input's size, that stepping back returns to the start, and that reading only the
// opening gives the game that reading the whole text and cutting it to its opening gives.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "checks/check_support.h"
#include "pgn/game.h"

namespace vorline {

namespace pgn_game_check {

// Everything a reader fills in, as one text.
inline std::string fingerprint(Game& game) {
    std::string text;
    for (const GameLine& line : game.lines()) {
        text += "line\n";
        for (const GameNode& node : line) {
            text += std::to_string(static_cast<std::uint32_t>(node.kind)) + ' ' +
                    std::to_string(node.white) + ' ' + std::to_string(node.move_number) + ' ' +
                    node.text + '\n';
        }
    }
    for (const auto& entry : game.tags()) text += "tag " + entry.first + '=' + entry.second + '\n';
    for (const std::string& name : game.tag_order()) text += "order " + name + '\n';
    text += "result " + game.get_result() + "\nstart " + game.start_fen() + ' ' +
            std::to_string(game.start_white_to_move()) + ' ' +
            std::to_string(game.start_move_number()) + "\ncursor " +
            std::to_string(game.cursor_line()) + ',' + std::to_string(game.cursor_index()) +
            "\nposition " + game.get_position().fen() + '\n';
    return text;
}

}  // namespace pgn_game_check

inline void check_pgn_game(std::string_view text) {
    using namespace pgn_game_check;
    static Game game;
    static Game opening;
    const std::size_t size = text.size();
    const std::uint32_t half_moves = size % 2 == 0 ? 24 : 5;

    game.read_pgn(text);
    // Every node text is a piece of the input (or a line number the reader made), so all of
    // them together stay within a fixed multiple of its size. The largest share is that of
    // a "(" that nothing closes, which keeps the rest of its stretch of movetext when that
    // is at most 64 characters: a stretch of m such "(" keeps m (m + 1) / 2 <= 32.5 m.
    std::size_t stored = 0;
    for (const GameLine& line : game.lines())
        for (const GameNode& node : line) stored += node.text.size();
    require(stored <= 36 * size + 64, "node texts stay within a bound of the input");
    std::string start;
    try {
        start = game.get_first_position();
    } catch (const FenError&) {
        // A "FEN" tag that the FEN reader rejects: the start cannot be set up again.
        return;
    }
    std::size_t played = 0;
    try {
        for (std::size_t steps = 0; steps <= size && !game.get_next_position().empty(); ++steps)
            if (game.get_position().last_move() != Move()) ++played;
    } catch (const SanError&) {
        // Stepping stops at a move that cannot be read.
    }
    for (std::size_t i = 0; i < played; ++i) game.get_previous_position();
    require(game.get_position().fen() == start, "stepping back returns to the start");

    const std::string full = game.get_full_pgn();
    require(full.size() <= 32 * size + 4096, "written text stays within a bound of the input");

    game.keep_opening(half_moves);
    game.get_first_position();
    const std::string cut = fingerprint(game);
    opening.read_opening(text, half_moves);
    opening.get_first_position();
    require(fingerprint(opening) == cut, "reading the opening alone gives the cut game");
}

}  // namespace vorline
