// OpeningGameWriter: the PGN text of a found position's moves, as the tool outputs it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "notation/san_move.h"

namespace vorline {

// Writes the game that plays the given moves from the initial position: the seven roster
// tags, the moves in SAN with their numbers, the result "*", lines broken as Game writes
// them. The text is the one Game gives for the same moves added to a cleared game with the
// roster tags set, built without a game record; without moves, the movetext is the result
// alone ("*", where Game puts a space before it). Keeps its position and buffers between
// games, so writing allocates nothing once the text has grown.
class OpeningGameWriter {
public:
    // The tables must outlive the writer.
    explicit OpeningGameWriter(const AttackTables& tables);

    // Writes the game into `text` for `moves`, given last move first as the index walks
    // back. Each move is replayed as the legal move with the same squares and kind, as the
    // generator gives it (with its check bit), so the text never depends on how a game
    // marked it. False when a move is not legal where it stands. `more_tags`, whole tag
    // lines, follow the roster tags.
    bool write(std::span<const std::uint32_t> moves_last_first, std::string& text,
               std::string_view more_tags = {});

private:
    ChessPosition start_;  // the initial position, copied at the start of every game
    ChessPosition position_;
    SanMove san_;
};

}  // namespace vorline
