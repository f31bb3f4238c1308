#include "pgn/game_text_sections.h"

#include <cstring>

namespace {

// Walks the lines of a text; the last line may lack its line feed.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        const char* begin = text_.data() + pos_;
        const void* feed = std::memchr(begin, '\n', text_.size() - pos_);
        const std::size_t length =
            feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - begin)
                 : text_.size() - pos_;
        line = std::string_view(begin, length);
        pos_ += length + 1;
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// A line whose first character other than blanks and tabs is "[". A movetext line that
// holds "[" (a clock or evaluation in a comment) is none, so that movetext directly below
// the tags is read as movetext.
bool is_tag_line(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == '[';
}

void append_line(std::string& out, std::string_view line) {
    out.append(line);
    out.push_back('\n');
}

}  // namespace

void split_game_text(std::string_view text, std::string& tag_text, std::string& movetext) {
    tag_text.clear();
    movetext.clear();
    enum class Section { before_tags, tags, after_tags, moves };
    Section section = Section::before_tags;
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line)) {
        switch (section) {
            case Section::before_tags:
                if (line.empty()) continue;
                section = Section::tags;
                [[fallthrough]];
            case Section::tags:
                if (!line.empty() && line.front() == '%') continue;
                if (is_tag_line(line)) {
                    append_line(tag_text, line);
                    continue;
                }
                if (line.empty()) {  // the usual empty line between tags and moves
                    section = Section::after_tags;
                    continue;
                }
                section = Section::moves;  // tags not closed by an empty line, or none
                break;
            case Section::after_tags:
                if (line.empty()) continue;
                section = Section::moves;
                break;
            case Section::moves:
                break;
        }
        if (!line.empty() && line.front() != '%') append_line(movetext, line);
    }
}

std::string_view movetext_for_moves(std::string_view text, std::string& buffer,
                                    std::string& scratch) {
    // The sections as split_game_text walks them, up to the first movetext line.
    bool before_tags = true;
    bool after_tags = false;
    std::size_t begin = text.size();
    LineReader lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty() && (before_tags || after_tags)) continue;
        before_tags = false;
        if (!after_tags) {
            if (!line.empty() && line.front() == '%') continue;
            if (is_tag_line(line)) continue;
            if (line.empty()) {
                after_tags = true;
                continue;
            }
        }
        begin = static_cast<std::size_t>(line.data() - text.data());
        break;
    }
    const std::string_view movetext = text.substr(begin);
    // Lines starting with "%" are dropped from the movetext: only then is it copied.
    for (std::size_t at = movetext.find('%'); at != std::string_view::npos;
         at = movetext.find('%', at + 1)) {
        if (at == 0 || movetext[at - 1] == '\n') {
            split_game_text(text, scratch, buffer);
            return buffer;
        }
    }
    return movetext;
}
