#include "pgn/game.h"
#include "pgn/pgn_layout.h"

namespace vorline {

std::string Game::pgn_text(bool full) {
    number_moves(0, start_white_to_move_, start_move_number_);
    std::string text;
    append_tag_section(tag_order_, tags_, text);
    const std::size_t movetext_begin = text.size();
    append_movetext(lines_, 0, full, text);
    text += ' ';
    text += result_;
    text += "\n\n";
    // Tag lines stay whole, however long: a broken tag line would no longer read as one.
    wrap_pgn_lines(text, movetext_begin);
    return text;
}

}  // namespace vorline
