// split_game_text: cuts one game text into its tag lines and its movetext.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorline {

// Cuts the text of one game into its tag lines and its movetext lines, each line followed
// by a line feed in the result. Empty lines before the tags are skipped; lines starting
// with "%" are passed over; every line that begins with "[" (after blanks and tabs)
// belongs to the tag section until the first line that does not. That line ends the
// section: an empty line is dropped, any other line is the first movetext line. Empty
// lines in the movetext are dropped. A last line without a line feed counts like the
// others.
void split_game_text(std::string_view text, std::string& tag_text, std::string& movetext);

// The movetext of a game text for a reader of its moves, which are the same as in the
// movetext split_game_text cuts: when no line of it starts with "%", a view of the text from
// its first movetext line on (the empty lines that split_game_text drops stay, and a last
// line may lack its line feed); otherwise split_game_text's movetext, cut into `buffer`
// (its tag text into `scratch`).
std::string_view movetext_for_moves(std::string_view text, std::string& buffer,
                                    std::string& scratch);

// Calls `pair(name, value)` for every tag pair of a tag section, in text order. A pair
// starts at "["; the name runs to the first blank or quote, then blanks and at most one
// quote are passed over and the value runs to the next quote. There is no escape
// character. Pairs with an empty name are passed over.
template <class PairFunction>
void for_each_tag_pair(std::string_view tags, PairFunction&& pair) {
    const std::size_t n = tags.size();
    std::size_t i = 0;
    while (i < n) {
        i = tags.find('[', i);
        if (i == std::string_view::npos) return;
        ++i;
        const std::size_t name_begin = i;
        while (i < n && tags[i] != ' ' && tags[i] != '"') ++i;
        const std::string_view name = tags.substr(name_begin, i - name_begin);
        bool quote_seen = false;
        while (i < n && (tags[i] == ' ' || (tags[i] == '"' && !quote_seen))) {
            if (tags[i] == '"') quote_seen = true;
            ++i;
        }
        const std::size_t value_begin = i;
        while (i < n && tags[i] != '"') ++i;
        const std::string_view value = tags.substr(value_begin, i - value_begin);
        if (!name.empty()) pair(name, value);
        ++i;  // past the quote that ended the value
    }
}

}  // namespace vorline
