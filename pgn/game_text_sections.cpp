#include "pgn/game_text_sections.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorline {

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

// Past the run of lines that start with "[" beginning at text[from] (one of them): where
// the first line after them begins, or the text's size when they reach its end. Such lines
// are tag lines, and most game texts open with a dozen of them, passed over here sixteen
// characters at a time where the processor allows instead of line by line.
std::size_t skip_bracket_lines(std::string_view text, std::size_t from) {
    const std::size_t n = text.size();
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    const __m128i bracket = _mm_set1_epi8('[');
    for (; i + 17 <= n; i += 16) {
        const char* at = text.data() + i;
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
        // Line feeds whose next character is not "[".
        const unsigned ends = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(here, feed))) &
                              ~unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(next, bracket)));
        if (ends != 0) return i + static_cast<std::size_t>(std::countr_zero(ends)) + 1;
    }
#endif
    for (; i < n; ++i)
        if (text[i] == '\n' && (i + 1 == n || text[i + 1] != '[')) return i + 1;
    return n;
}

// Where the movetext of a game text begins: at its first line that is not empty before the
// tags or after them, not a "%" line among the tags, and not a tag line. The tag section
// ends at its first line that is no tag line: an empty line (passed over, with the empty
// lines after it) or the first movetext line. The text's size when there is no movetext.
std::size_t movetext_begin(std::string_view text) {
    bool before_tags = true;
    bool after_tags = false;
    std::size_t from = 0;
    if (!text.empty() && text.front() == '[') {
        from = skip_bracket_lines(text, 0);
        before_tags = false;
    }
    LineReader lines(text.substr(from));
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
        return static_cast<std::size_t>(line.data() - text.data());
    }
    return text.size();
}

}  // namespace

void split_game_text(std::string_view text, std::string& tag_text, std::string& movetext) {
    tag_text.clear();
    movetext.clear();
    const std::size_t begin = movetext_begin(text);
    // Before the movetext, only tag lines are kept; in it, every line but the empty ones and
    // those starting with "%".
    LineReader tags(text.substr(0, begin));
    std::string_view line;
    while (tags.next(line))
        if (is_tag_line(line)) append_line(tag_text, line);
    LineReader moves(text.substr(begin));
    while (moves.next(line))
        if (!line.empty() && line.front() != '%') append_line(movetext, line);
}

std::string_view movetext_for_moves(std::string_view text, std::string& buffer,
                                    std::string& scratch) {
    const std::string_view movetext = text.substr(movetext_begin(text));
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

}  // namespace vorline
