// SanMove: a move in Standard Algebraic Notation, tied to the position it is read on or
// written for.
#pragma once

#include <string>
#include <string_view>

#include "board/move.h"
#include "notation/san_error.h"

namespace vorline {

class ChessPosition;

// Reading (assigning a token) resolves the token to the one legal move of the position it
// names; writing (making a SanMove from a Move) produces the move's SAN text. The position
// is not owned and must outlive the SanMove; it is left unchanged by both directions.
class SanMove {
public:
    // Empty move, empty text.
    explicit SanMove(ChessPosition& position) : position_(&position) {}
    // Resolves `token` at once; throws SanError like operator=.
    SanMove(ChessPosition& position, std::string_view token);
    // Writes the SAN text of `move`, which must be legal in `position` (before it is made).
    SanMove(ChessPosition& position, Move move);

    SanMove(const SanMove&) = default;
    SanMove& operator=(const SanMove&) = default;

    // Stores `token` as the text and resolves it against the position's legal moves.
    // Lenient about form (annotation marks, one check or mate mark, origin hints, an unchecked
    // capture mark, coordinate forms like e2e4), strict about legality: the move is always
    // one of the generated legal moves, with its check bit as generated. Throws
    // SanError when the token is malformed or names no legal move; the move is then
    // empty.
    SanMove& operator=(std::string_view token);
    // The move `token` names in `position`, read as operator= reads it, without keeping
    // the text.
    static Move read(const ChessPosition& position, std::string_view token);

    // Takes the legal move with the origin, destination and kind (code) of `wanted`, as the
    // generator gives it (with its check bit), and writes its SAN text. False, with the move
    // and text empty, when no legal move has them.
    bool assign_legal(Move wanted);

    Move move() const { return move_; }
    // The token as given when read, the SAN text when written.
    const std::string& text() const { return text_; }
    ChessPosition& position() const { return *position_; }

private:
    void write();
    bool gives_mate() const;
    [[noreturn]] static void fail_illegal(const ChessPosition& position, std::string_view token);

    Move move_;
    ChessPosition* position_;
    std::string text_;
};

}  // namespace vorline
