#include <functional>
#include <iostream>

#include "pgn/game.h"
#include "pgn/game_text_sections.h"

namespace vorline {

namespace {

// True when `view` lies inside the buffer of `text`.
bool points_into(std::string_view view, const std::string& text) {
    return !view.empty() && std::less_equal<const char*>()(text.data(), view.data()) &&
           std::less<const char*>()(view.data(), text.data() + text.size());
}

}  // namespace

void Game::report_unreadable(std::string_view text) const { std::cerr << text << std::endl; }

void Game::read_tags(std::uint32_t names_kept, bool store_values) {
    tag_order_.clear();
    tags_.clear();
    for_each_tag_pair(tag_text_, [&](std::string_view name, std::string_view value) {
        if (tag_order_.size() < names_kept) assign_text(tag_order_.push_slot(), name);
        if (store_values) tags_.set(name, value);
        if (name == "FEN")
            set_start(value);
        else if (name == "Result")
            assign_text(result_, value);
    });
}

void Game::parse_pgn(std::string_view text) {
    split_game_text(text, tag_text_, movetext_);
    try {
        read_tags(0xFFFFFFFFu, true);
    } catch (const FenError&) {
        // The movetext stays unread, as one raw node of the main line.
        append_node(lines_[0], NodeKind::unparsed, movetext_);
        throw;
    }
    movetext_reader_.read(movetext_, lines_);
    number_moves(0, start_white_to_move_, start_move_number_);
}

void Game::read_pgn(std::string_view text) {
    if (points_into(text, tag_text_) || points_into(text, movetext_)) {
        text_copy_.assign(text);  // the text is about to be overwritten while read
        text = text_copy_;
    }
    clear();
    try {
        parse_pgn(text);
    } catch (const FenError&) {
        report_unreadable(text);
        return;
    }
    rewind();
}

void Game::read_opening(std::string_view text, std::uint32_t half_moves) {
    if (points_into(text, tag_text_) || points_into(text, movetext_)) {
        text_copy_.assign(text);
        text = text_copy_;
    }
    clear();
    split_game_text(text, tag_text_, movetext_);
    try {
        // Only the names that keep_opening keeps, and no values: it replaces them all.
        read_tags(7, false);
    } catch (const FenError&) {
        report_unreadable(text);
        close_main_line(0);
        reset_to_roster_tags();
        return;
    }
    movetext_reader_.read_main_line_moves(movetext_, lines_[0], half_moves);
    number_moves(0, start_white_to_move_, start_move_number_);
    close_main_line(half_moves);
    reset_to_roster_tags();
    rewind();
}

std::vector<GameNode> Game::tokenize_movetext(std::string_view text) {
    GameLine line;
    append_movetext_tokens(text, line);
    return std::vector<GameNode>(line.begin(), line.end());
}

}  // namespace vorline
