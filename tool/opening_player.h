// OpeningPlayer: plays the opening of one game text into the steps the index records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "notation/san_move.h"
#include "pgn/movetext_reader.h"
#include "tool/opening_index.h"
#include "tool/run_counters.h"

namespace vorline {

// Reads the main line of a game text exactly as Game::read_opening does and plays its first
// half moves from the initial position, one step (key reached, move made) per move. This is
// the part of indexing that depends on one game alone; recording the steps is left to the
// caller, in file order. The player keeps its buffers between games, so playing allocates
// nothing once they have grown.
class OpeningPlayer {
public:
    // The tables must outlive the player.
    explicit OpeningPlayer(const AttackTables& tables);

    // Clears `steps`, then appends one step per move of the text's first `depth` half moves
    // of the main line, played from the initial position whatever the tags say (games with
    // a FEN tag are the caller's to skip). A move that cannot be read or is not legal
    // throws the SAN reader's std::logic_error; the steps before it stay in `steps`.
    void play(std::string_view game_text, std::uint32_t depth, std::vector<OpeningStep>& steps);

    // play() as the first phase uses it: a text that holds "FEN" anywhere (a game that may
    // start elsewhere) is skipped with no steps, and a move that cannot be read or is not
    // legal ends the game, keeping the steps before it. Anything else (no memory, a read
    // error) is let through to end the run.
    GameOutcome play_game(std::string_view game_text, std::uint32_t depth,
                          std::vector<OpeningStep>& steps);

private:
    class Mover;

    ChessPosition start_;  // the initial position, copied at the start of every game
    ChessPosition position_;
    std::string tag_text_;
    std::string movetext_;
    MovetextReader reader_;
};

}  // namespace vorline
