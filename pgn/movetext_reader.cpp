#include "pgn/movetext_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <memory>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vorline {

// Matching parentheses of the variations of a movetext, found while line 0 is scanned, so
// that the lines inside them can jump over their own nested variations instead of scanning
// them again (which would make deep nesting quadratic).
class ParenMatches {
public:
    void clear() {
        pairs_.clear();
        open_.clear();
    }
    void open(std::size_t at) {
        open_.push_back(pairs_.size());
        pairs_.push_back({at, std::string_view::npos});
    }
    void close(std::size_t at) {
        pairs_[open_.back()].second = at;
        open_.pop_back();
    }
    // The ")" that closes the "(" at `at`; npos when it is never closed.
    std::size_t close_of(std::size_t at) const {
        const auto found = std::lower_bound(pairs_.begin(), pairs_.end(), at,
                                            [](const std::pair<std::size_t, std::size_t>& pair,
                                               std::size_t value) { return pair.first < value; });
        return found != pairs_.end() && found->first == at ? found->second : std::string_view::npos;
    }

private:
    std::vector<std::pair<std::size_t, std::size_t>> pairs_;  // "(" and ")" positions
    std::vector<std::size_t> open_;                           // indices of unclosed pairs
};

namespace {

using CharTable = std::array<bool, 256>;

constexpr CharTable table_of(std::string_view chars) {
    CharTable table{};
    for (char c : chars) table[static_cast<unsigned char>(c)] = true;
    return table;
}

constexpr std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view digits = "0123456789";

// A move starts with a file letter or a piece or castling letter and runs on over letters,
// digits and the marks that SAN and its common variants use.
constexpr CharTable move_start = table_of("abcdefghBKNOQR");
constexpr CharTable move_char = [] {
    CharTable table = table_of("#+-:=_");
    for (char c : letters) table[static_cast<unsigned char>(c)] = true;
    for (char c : digits) table[static_cast<unsigned char>(c)] = true;
    return table;
}();
// Characters that may start a token; everything else is passed over.
constexpr CharTable token_start = [] {
    CharTable table = move_start;
    for (char c : std::string_view("$*10(")) table[static_cast<unsigned char>(c)] = true;
    return table;
}();
// Characters that open or close comments and variations.
constexpr CharTable structure_char = table_of("{;()");
// The same with the line feed, for scans that hand over the main text line by line.
constexpr CharTable structure_or_line_feed = table_of("{;()\n");

bool in(const CharTable& table, char c) { return table[static_cast<unsigned char>(c)]; }

// Splits one fragment into tokens, handing each to `out`: out.move(text) returns false to
// stop; out.node(kind, text) takes every other node.
// The text of a variation node for a "(" that nothing closes: the rest of the fragment,
// which is read only as a line number. A short rest is kept as it stands; a long one is
// cut to the digits that decide the number (as the rest of every later "(" of the same
// run would be kept whole otherwise, which grows with the square of the run).
class UnclosedVariationText {
public:
    std::string_view text(std::string_view t, std::size_t from) {
        constexpr std::size_t kept_whole = 64;
        if (t.size() - from <= kept_whole) return t.substr(from);
        // Parentheses and blanks before the number are passed over: what follows them is
        // the same for every "(" of one run, so it is looked at once per run.
        if (name_ <= from || from < scanned_from_) find_number(t, from);
        return number_;
    }

private:
    static bool passed_over(char c) {
        return c == '(' || c == ')' || c == ' ' || (c >= '\t' && c <= '\r');
    }
    static bool digit(char c) { return c >= '0' && c <= '9'; }

    void find_number(std::string_view t, std::size_t from) {
        scanned_from_ = from;
        name_ = from;
        while (name_ < t.size() && passed_over(t[name_])) ++name_;
        number_ = {};  // no digit: the text names no line
        if (name_ == t.size() || !digit(t[name_])) return;
        std::size_t begin = name_;
        while (begin < t.size() && t[begin] == '0') ++begin;
        std::size_t end = begin;
        // Eleven significant digits are more than any line number, as in the full text.
        while (end < t.size() && digit(t[end]) && end - begin < 11) ++end;
        number_ = begin == end ? t.substr(begin - 1, 1) : t.substr(begin, end - begin);
    }

    std::size_t scanned_from_ = 0;
    std::size_t name_ = 0;  // first character at or after scanned_from_ not passed over
    std::string_view number_;
};

template <class Out>
bool tokenize(std::string_view t, Out& out) {
    const std::size_t n = t.size();
    std::size_t i = 0;
    std::size_t close = 0;  // the next ")" at or after the scan, n when there is none
    UnclosedVariationText unclosed;
    while (i < n) {
        char c = t[i];
        if (!in(token_start, c)) {
            ++i;
            continue;
        }
        if (in(move_start, c)) {
            std::size_t j = i + 1;
            while (j < n && in(move_char, t[j])) ++j;
            if (!out.move(t.substr(i, j - i))) return false;
            i = j;
            if (i == n) break;
            c = t[i];  // not a letter: examined by the other rules below
        }
        const bool has_next = i + 1 < n;
        switch (c) {
            case '$': {
                std::size_t j = i + 1;
                while (j < n && t[j] >= '0' && t[j] <= '9') ++j;
                out.node(NodeKind::nag, t.substr(i, j - i));
                break;
            }
            case '*':
                out.node(NodeKind::result, "*");
                break;
            case '1':
                if (has_next && t[i + 1] == '-') {
                    out.node(NodeKind::result, "1-0");
                } else if (has_next && t[i + 1] == '/' && n - i - 1 >= 4) {
                    out.node(NodeKind::result, "1/2-1/2");
                    if (t.substr(i, 7) == "1/2-1/2") i += 6;  // one node per draw marker
                }
                break;
            case '0':
                if (has_next && t[i + 1] == '-') out.node(NodeKind::result, "0-1");
                break;
            case '(': {
                // The ")" found for an earlier "(" serves while it lies ahead; once none is
                // left, none is searched for again, so a run of unclosed "(" stays linear.
                if (close <= i) {
                    const std::size_t found = t.find(')', i + 1);
                    close = found == std::string_view::npos ? n : found;
                }
                if (close < n) {
                    out.node(NodeKind::variation, t.substr(i + 1, close - i - 1));
                    i = close;
                } else {
                    out.node(NodeKind::variation, unclosed.text(t, i + 1));
                }
                break;
            }
            default:
                break;
        }
        ++i;
    }
    return true;
}

struct AllNodes {
    GameLine& line;
    bool move(std::string_view text) {
        append_node(line, NodeKind::move, text);
        return true;
    }
    void node(NodeKind kind, std::string_view text) { append_node(line, kind, text); }
};

struct FirstMoves {
    MainLineMoves& moves;
    std::size_t moves_left;
    bool move(std::string_view text) { return moves.move(text) && --moves_left > 0; }
    void node(NodeKind, std::string_view) {}
};

std::size_t find_char(std::string_view text, char c, std::size_t from, std::size_t end) {
    if (from >= end) return end;
    const void* found = std::memchr(text.data() + from, c, end - from);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : end;
}

// The first character of text[from, end) that opens or closes a comment or variation, or
// with `LineFeeds` a line feed; `end` when there is none. Most of a movetext holds none of
// them, so sixteen characters are looked at a time where the processor allows.
template <bool LineFeeds>
std::size_t find_stop(std::string_view text, std::size_t from, std::size_t end) {
#if defined(__SSE2__)
    const __m128i brace = _mm_set1_epi8('{');
    const __m128i semicolon = _mm_set1_epi8(';');
    const __m128i parenthesis = _mm_set1_epi8(')');  // "(" is ")" with its lowest bit clear
    const __m128i one = _mm_set1_epi8(1);
    const __m128i feed = _mm_set1_epi8('\n');
    for (; from + 16 <= end; from += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
        __m128i hits = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, brace), _mm_cmpeq_epi8(chunk, semicolon)),
            _mm_cmpeq_epi8(_mm_or_si128(chunk, one), parenthesis));
        if constexpr (LineFeeds) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, feed));
        if (const int mask = _mm_movemask_epi8(hits))
            return from + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
    }
#endif
    const CharTable& stops = LineFeeds ? structure_or_line_feed : structure_char;
    while (from < end && !in(stops, text[from])) ++from;
    return from;
}

void append_variation_marker(std::string& out, std::size_t line) {
    char digits_buffer[24];
    const auto [end, ec] = std::to_chars(digits_buffer, digits_buffer + sizeof digits_buffer, line);
    (void)ec;
    out.append(" (");
    out.append(digits_buffer, end);
    out.append(") ");
}

// Scans the text of one line, text[begin, end). Its main text is the text with every
// top-level variation replaced by a marker " (n) " naming the line it was moved to; the
// main text is cut at comments into fragments. Hands to the sink, in text order:
// sink.fragment(text) for every fragment (returns false to stop the scan),
// sink.comment(text, brace) for every comment, sink.variation(begin, end) for every
// variation with some text (returns the new line's index). A stray ")" makes the depth
// negative; a "(" then only brings it back and stays in the main text with its contents.
// Line 0 is scanned with `record` to note matching parentheses; the lines inside
// variations are scanned with `jump`, which holds them all.
// A sink with `hands_lines` set also gets the main text cut at every line feed outside
// variations, so that a scan that only wants the first moves stops early. Moves are the
// same either way: a token never spans a line feed, and until a stray ")" is met the main
// text holds no "(" but those of the markers, each closed within its fragment.
template <class Sink>
bool scan_line(std::string_view text, std::size_t begin, std::size_t end, Sink& sink,
               std::string& fragment, ParenMatches* record, const ParenMatches* jump) {
    fragment.clear();
    long depth = 0;
    std::size_t run = begin;  // main text from here on is not yet handed over
    std::size_t variation_begin = 0;

    auto close_fragment = [&](std::size_t stop) {
        if (fragment.empty()) return stop <= run || sink.fragment(text.substr(run, stop - run));
        fragment.append(text, run, stop - run);
        const bool go_on = sink.fragment(std::string_view(fragment));
        fragment.clear();
        return go_on;
    };
    auto close_variation = [&](std::size_t close) {
        if (close == variation_begin) {
            run = close;  // "()": the ")" stays in the main text
        } else {
            append_variation_marker(fragment, sink.variation(variation_begin, close));
            run = close + 1;
        }
    };

    bool balanced = true;  // no stray ")" met yet
    std::size_t i = begin;
    while ((i = find_stop<Sink::hands_lines()>(text, i, end)) < end) {
        const char c = text[i];
        if (c == '\n') {
            ++i;
            if (depth == 0 && balanced) {
                if (!close_fragment(i)) return false;
                run = i;
            }
            continue;
        }
        if (c == '{' || c == ';') {
            const bool brace = c == '{';
            if (depth <= 0 && !close_fragment(i)) return false;
            const std::size_t close = find_char(text, brace ? '}' : '\n', i + 1, end);
            if (depth <= 0) sink.comment(text.substr(i + 1, close - i - 1), brace);
            i = close < end ? close + 1 : end;
            if (depth <= 0) run = i;
            continue;
        }
        if (c == '(') {
            if (jump && depth == 0) {
                fragment.append(text, run, i - run);
                variation_begin = i + 1;
                const std::size_t close = jump->close_of(i);
                if (close >= end) {  // never closed: dropped with the rest
                    run = end;
                    break;
                }
                close_variation(close);
                i = close + 1;
                continue;
            }
            if (++depth == 1) {
                fragment.append(text, run, i - run);
                variation_begin = i + 1;
            }
            if (record && depth >= 1) record->open(i);
        } else {
            if (record && depth >= 1) record->close(i);
            if (--depth == 0) close_variation(i);
            if (depth < 0) balanced = false;
        }
        ++i;
    }
    if (depth > 0) run = end;  // the unclosed variation is dropped
    return close_fragment(end);
}

}  // namespace

MovetextReader::MovetextReader() : parens_(std::make_unique<ParenMatches>()) {}
MovetextReader::~MovetextReader() = default;

void append_movetext_tokens(std::string_view fragment, GameLine& line) {
    AllNodes out{line};
    tokenize(fragment, out);
}

void MovetextReader::read(std::string_view movetext, GameLines& lines) {
    struct Sink {
        static constexpr bool hands_lines() { return false; }
        GameLines& lines;
        std::vector<PendingLine>& pending;
        std::size_t line;
        bool fragment(std::string_view text) {
            append_movetext_tokens(text, lines[line]);
            return true;
        }
        void comment(std::string_view text, bool brace) {
            if (text.empty()) return;
            GameNode& node = append_node(lines[line], NodeKind::comment, text);
            if (brace) std::replace(node.text.begin(), node.text.end(), '\n', ' ');
        }
        std::size_t variation(std::size_t begin, std::size_t end) {
            const std::size_t index = lines.size();
            append_line(lines);
            pending.push_back({index, begin, end});
            return index;
        }
    };
    pending_.clear();
    pending_.push_back({0, 0, movetext.size()});
    parens_->clear();
    for (std::size_t k = 0; k < pending_.size(); ++k) {
        const PendingLine next = pending_[k];
        Sink sink{lines, pending_, next.line};
        if (k == 0)
            scan_line(movetext, next.begin, next.end, sink, fragment_, parens_.get(), nullptr);
        else
            scan_line(movetext, next.begin, next.end, sink, fragment_, nullptr, parens_.get());
    }
}

void MovetextReader::read_main_line_moves(std::string_view movetext, GameLine& line,
                                          std::size_t max_moves) {
    struct Append final : MainLineMoves {
        explicit Append(GameLine& l) : line(l) {}
        bool move(std::string_view text) override {
            append_node(line, NodeKind::move, text);
            return true;
        }
        GameLine& line;
    };
    Append append(line);
    read_main_line_moves(movetext, append, max_moves);
}

void MovetextReader::read_main_line_moves(std::string_view movetext, MainLineMoves& moves,
                                          std::size_t max_moves) {
    struct Sink {
        static constexpr bool hands_lines() { return true; }
        FirstMoves moves;
        std::size_t variations = 0;
        bool fragment(std::string_view text) { return tokenize(text, moves); }
        void comment(std::string_view, bool) {}
        std::size_t variation(std::size_t, std::size_t) { return ++variations; }
    };
    if (max_moves == 0) return;
    Sink sink{FirstMoves{moves, max_moves}};
    scan_line(movetext, 0, movetext.size(), sink, fragment_, nullptr, nullptr);
}

}  // namespace vorline
