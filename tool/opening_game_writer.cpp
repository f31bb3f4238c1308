#include "tool/opening_game_writer.h"

#include <charconv>

#include "pgn/pgn_layout.h"
#include "pgn/roster_tags.h"

namespace vorline {

namespace {

// The tag section every written game starts with.
std::string roster_tag_section() {
    std::string text;
    for (const auto& [name, value] : roster_tags) {
        text += '[';
        text += name;
        text += " \"";
        text += value;
        text += "\"]\n";
    }
    text += '\n';
    return text;
}

}  // namespace

OpeningGameWriter::OpeningGameWriter(const AttackTables& tables)
    : start_(tables), position_(tables), san_(position_) {
    start_.set_start_position();
}

bool OpeningGameWriter::write(std::span<const std::uint32_t> moves_last_first, std::string& text,
                              std::string_view more_tags) {
    static const std::string tag_section = roster_tag_section();
    position_ = start_;
    text.assign(tag_section, 0, tag_section.size() - 1);  // up to the empty line
    text += more_tags;
    text += '\n';
    const std::size_t movetext_begin = text.size();
    std::uint32_t number = 1;
    for (auto it = moves_last_first.rbegin(); it != moves_last_first.rend(); ++it) {
        if (!san_.assign_legal(Move::from_word(*it))) return false;
        if (it != moves_last_first.rbegin()) text += ' ';
        if (position_.white_to_move()) {
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, number++).ptr;
            text.append(digits, end);
            text += ". ";
        }
        text += san_.text();
        position_.make_move(san_.move());
    }
    // The result alone is the movetext of a game without moves.
    if (!moves_last_first.empty()) text += ' ';
    text += "*\n\n";
    wrap_pgn_lines(text, movetext_begin);
    return true;
}

}  // namespace vorline
