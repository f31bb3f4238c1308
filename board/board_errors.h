// Board errors: the exceptions the board model throws, one type per kind of fault.
#pragma once

#include <stdexcept>

namespace vorline {

// Misuse of the board model: a bad square name or piece code, taking back a move that was
// never made.
class BoardError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// A FEN or EPD text whose placement cannot be read.
class FenError : public BoardError {
public:
    using BoardError::BoardError;
};

// A move in coordinate form that names no legal move of the position.
class MoveTextError : public BoardError {
public:
    using BoardError::BoardError;
};

// A table that cannot be built or a stack of move lists used beyond its frames.
class TableError : public BoardError {
public:
    using BoardError::BoardError;
};

}  // namespace vorline
