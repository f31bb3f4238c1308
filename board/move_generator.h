// MoveGenerator: the legal moves of a position, in a fixed order, each with its check bit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/bitboard.h"

namespace vorline {

class AttackTables;
class ChessPosition;
class MoveList;

// Order: captures and promotions first (pawns by square, each pawn's captures, its en
// passant capture and then its promotions queen-rook-bishop-knight; then captures by
// knights, bishops, rooks, queens and the king), then quiet moves (knights, bishops,
// rooks, queens, pawn pushes, king, castling). Pieces and targets go by ascending square.
// Legality is decided per move from the pin sets of the position's last history entry
// and the checkers found on the board, without making the move.
class MoveGenerator {
public:
    MoveGenerator(const ChessPosition& position, const AttackTables& tables)
        : position_(position), tables_(tables) {}
    MoveGenerator(const MoveGenerator&) = delete;
    MoveGenerator& operator=(const MoveGenerator&) = delete;

    // Replaces the list's contents (count and ordering hints reset) with the legal moves
    // of the side to move; with tactical_only, only its captures and promotions.
    void generate(MoveList& list, bool tactical_only = false) const;
    // The same for the moves of one piece kind (Piece::pawn to Piece::king) to one square:
    // exactly the moves of generate() with that kind and destination, in its order and
    // with its check bits. Castling counts as a king move to its rook's square.
    void generate(MoveList& list, std::uint32_t kind, std::uint32_t to) const;
    // The number of moves generate() lists, found without building them.
    std::size_t count() const;

private:
    const ChessPosition& position_;
    const AttackTables& tables_;
};

}  // namespace vorline
