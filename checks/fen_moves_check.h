// FEN moves check: every legal move of a position read from FEN, made and taken back.
#pragma once

// Reads a text as FEN and, when it is accepted, generates the legal moves and makes and
// takes back each of them: every list must stay within its capacity (a move list cannot
// be overrun by any position the reader accepts), and taking a move back must restore
// the position and its key.
#include <cstdint>
#include <string_view>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"
#include "checks/check_support.h"

namespace vorline {

inline void check_fen_moves(std::string_view text) {
    static const AttackTables tables;
    static ChessPosition position(tables);
    try {
        position.fen(text);
    } catch (const FenError&) {
        return;
    }
    MoveList moves;
    position.generate_legal_moves(moves);
    require(moves.size() <= MoveList::capacity, "move list within its capacity");
    const ChessPosition before = position;
    const std::uint64_t key = position.hash();
    for (const Move move : moves) {
        position.make_move(move);
        MoveList replies;
        position.generate_legal_moves(replies);
        require(replies.size() <= MoveList::capacity, "reply list within its capacity");
        position.unmake_move();
        require(position == before && position.hash() == key,
                "taking a move back restores the position");
    }
}

}  // namespace vorline
