// Game: one chess game with its tags, lines of moves, start position and cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move.h"
#include "notation/san_error.h"
#include "pgn/game_error.h"
#include "pgn/game_line.h"
#include "pgn/game_node.h"
#include "pgn/move_numbering.h"
#include "pgn/movetext_reader.h"
#include "pgn/reuse_list.h"
#include "pgn/tag_map.h"

namespace vorline {

// One chess game: tag pairs, the main line and its variations as lines of nodes (moves as
// SAN texts, comments, glyphs, variation references, results), the start position and a
// cursor with the position reached there.
//
// Move texts are resolved only when the cursor passes over them, so a game may hold moves
// that are not legal; stepping onto one throws the SAN reader's SanError.
//
// A Game is made once and reused: clear() and read_pgn() keep its attack tables and the
// storage of its lines and tags, so reading game after game allocates nothing once the
// buffers have grown to the size of the games read.
class Game {
public:
    Game();
    explicit Game(std::string_view pgn_text);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Empty game at the standard initial position: no tags, one empty main line, result "*".
    void clear();

    // Clears the game and reads one game's PGN text into it, then rewinds. When the text
    // cannot be read (a bad FEN tag), the text and a line end go to standard error and the
    // game keeps what was read up to there; nothing is thrown.
    void read_pgn(std::string_view text);
    // Fills the game from a PGN text in the state that read_pgn(text) followed by
    // keep_opening(half_moves) leaves it, without building the lines, comments and
    // moves that keep_opening would throw away.
    void read_opening(std::string_view text, std::uint32_t half_moves);

    // Fills the cleared game from a PGN text (tags, start, result, lines); lets the FEN
    // reader's exception through. Used by read_pgn.
    void parse_pgn(std::string_view text);
    // The nodes of one movetext fragment without comments whose variations are markers.
    static std::vector<GameNode> tokenize_movetext(std::string_view text);

    // Tags. Setting a tag while the cursor is in a variation does nothing; "FEN" also
    // sets the start position (and throws like the FEN reader on a bad placement).
    void set_tag(std::string_view name, std::string_view value);
    std::string get_tag(std::string_view name) const;
    std::string get_players() const;  // White, a blank, Black
    bool has_no_tags() const { return tags_.empty(); }
    const std::string& get_result() const { return result_; }
    void set_result(std::string_view result) { assign_text(result_, result); }

    // Handing out the position for change means it may no longer be the start position.
    ChessPosition& get_position() {
        position_is_start_ = false;
        return position_;
    }
    const ChessPosition& get_position() const { return position_; }
    std::uint64_t get_hash() const;

    // Cursor movement. The FEN texts returned are those of the position reached; "" means
    // there was nothing to do.
    std::string get_first_position();
    std::string get_next_position();
    std::string get_last_position();
    std::string get_previous_position();
    // The next move of the current line, resolved but not played; the empty move if none.
    Move get_next_move();

    // What get_next_position does, without the FEN text.
    enum class Step {
        end_of_line,  // get_next_position would return ""
        no_move,      // only nodes other than moves were left; the cursor is at the end
        move_played,  // the next move was resolved and made
    };
    Step step_forward();
    // What get_first_position does, without the FEN text.
    void rewind();

    // Plays `move` at the cursor and records it: follows an equal move already there (the
    // next move, or the first move of a variation that is an alternative to it), opens a
    // variation when another move follows the cursor, or appends.
    void add_move(Move move);
    // Moves the cursor onto the next move or an alternative to it written as `move` is.
    bool find_move(Move move);

    // Numbers the move nodes of a line and of the variations it leads to.
    void number_moves(std::uint32_t line, std::uint32_t white, std::uint32_t number);

    std::string get_comment() const;
    void set_comment(std::string_view text);
    bool is_first_move() const;
    std::string cursor_text() const;  // "{line,index}"

    // PGN text: tags, movetext, result, lines of at most 79 characters (tag lines are not
    // broken), an empty line at the end. The full form has comments and variations.
    std::string pgn_text(bool full);
    std::string get_pgn() { return pgn_text(false); }
    std::string get_full_pgn() { return pgn_text(true); }

    // Cuts the game to the first `half_moves` moves of its main line followed by a "*"
    // result node, with the seven roster tags at unknown values. Start position and cursor
    // are kept.
    void keep_opening(std::uint32_t half_moves);

    // Read access to the record.
    const GameLines& lines() const { return lines_; }
    const TagMap& tags() const { return tags_; }
    const ReuseList<std::string>& tag_order() const { return tag_order_; }
    const std::string& tag_text() const { return tag_text_; }
    const std::string& start_fen() const { return start_fen_; }
    std::uint32_t start_white_to_move() const { return start_white_to_move_; }
    std::uint32_t start_move_number() const { return start_move_number_; }
    std::uint32_t cursor_line() const { return cursor_line_; }
    std::uint32_t cursor_index() const { return cursor_index_; }

private:
    void set_position(const std::string& fen);
    void set_start(std::string_view fen);
    void read_tags(std::uint32_t names_kept, bool store_values);
    void reset_to_roster_tags();
    void close_main_line(std::uint32_t half_moves);
    void report_unreadable(std::string_view text) const;
    std::string san_text(Move move);
    bool find_move_text(const std::string& san);
    std::size_t current_line_size() const { return lines_[cursor_line_].size(); }

    std::unique_ptr<const AttackTables> tables_;
    ChessPosition position_;
    std::string tag_text_;
    TagMap tags_;
    ReuseList<std::string> tag_order_;
    GameLines lines_;
    std::string start_fen_;
    std::uint32_t start_white_to_move_ = 1;
    std::uint32_t start_move_number_ = 1;
    std::string result_;
    std::uint32_t cursor_line_ = 0;
    std::uint32_t cursor_index_ = 0;

    // Working state, kept between games so that reading reuses its buffers.
    std::string initial_fen_;         // the FEN text of the standard initial position
    bool position_is_start_ = false;  // position_ is exactly what start_fen_ sets up
    std::string movetext_;
    std::string text_copy_;
    MovetextReader movetext_reader_;
    MoveNumbering numbering_;
};

}  // namespace vorline
