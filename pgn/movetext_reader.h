// MovetextReader: turns the movetext of one game into game lines.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/game_line.h"

namespace vorline {

// Turns the movetext of one game into game lines. Every parenthesised variation becomes a
// line of its own (numbered breadth-first: the variations of line 0 in text order, then
// those inside line 1, and so on) and leaves a variation node naming it; brace and
// semicolon comments become comment nodes; the text between them is split into moves,
// glyphs, results and variation nodes. Parentheses inside comments do not count; an
// unclosed variation is dropped; an unclosed comment runs to the end of its text.
//
// The reader keeps its working buffers between games, so reading allocates only while
// they grow.
class ParenMatches;

// Receives the moves of a main line one at a time, as MovetextReader finds them.
class MainLineMoves {
public:
    // Takes the next move's text (valid only during the call); false stops the reading.
    virtual bool move(std::string_view text) = 0;

protected:
    ~MainLineMoves() = default;
};

class MovetextReader {
public:
    MovetextReader();
    ~MovetextReader();
    MovetextReader(const MovetextReader&) = delete;
    MovetextReader& operator=(const MovetextReader&) = delete;

    // Reads `movetext` into line 0 of `lines` (which is expected empty) and appends a line
    // for every variation.
    void read(std::string_view movetext, GameLines& lines);

    // Appends to `line` the first `max_moves` move nodes that `read` would put into line 0,
    // and nothing else. Stops scanning as soon as it has them.
    void read_main_line_moves(std::string_view movetext, GameLine& line, std::size_t max_moves);
    // Hands the same moves to `moves`, in order, without storing them.
    void read_main_line_moves(std::string_view movetext, MainLineMoves& moves,
                              std::size_t max_moves);

private:
    struct PendingLine {
        std::size_t line;
        std::size_t begin;
        std::size_t end;
    };

    std::string fragment_;
    std::vector<PendingLine> pending_;
    std::unique_ptr<ParenMatches> parens_;
};

// Appends the nodes of one movetext fragment (no comments in it, variations already
// replaced by their markers) to `line`: moves, glyphs, results and variation markers.
void append_movetext_tokens(std::string_view fragment, GameLine& line);

}  // namespace vorline
