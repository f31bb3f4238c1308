// A small reader of the main lines of PGN games, enough to feed SAN checks and the SAN
// benchmark with real move tokens. Comments, variations, NAGs, move numbers and results
// are passed over; only the "FEN" and "Variant" tags are kept.
#pragma once

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace vorline {

struct MainlineGame {
    std::size_t line = 0;            // line of the file where the game starts (1-based)
    std::string fen;                 // value of the "FEN" tag; empty for the standard start
    std::string variant;             // value of the "Variant" tag, if any
    std::vector<std::string> moves;  // main-line move tokens as written, marks included

    // Games of other variants are left out of SAN checks.
    bool is_standard_chess() const {
        return variant.empty() || variant == "Standard" || variant == "standard" ||
               variant == "chess" || variant == "Chess" || variant == "normal";
    }
};

namespace mainline_detail {

inline bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline bool ends_token(char c) {
    return is_blank(c) || c == '{' || c == '}' || c == '(' || c == ')' || c == ';' || c == '[';
}

// "12." "12..." and "1-0" style prefixes are no moves; returns the move part of a token.
inline std::string_view strip_move_number(std::string_view token) {
    std::size_t i = 0;
    while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i;
    if (i == 0 || i == token.size() || token[i] != '.') return token;
    while (i < token.size() && token[i] == '.') ++i;
    return token.substr(i);
}

inline bool is_result(std::string_view token) {
    return token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*";
}

// Reads `[Name "Value"]` from the start of `line` into name and value.
inline void read_tag(std::string_view line, std::string& name, std::string& value) {
    name.clear();
    value.clear();
    std::size_t i = 1;
    while (i < line.size() && line[i] == ' ') ++i;
    while (i < line.size() && line[i] != ' ' && line[i] != '"' && line[i] != ']') name += line[i++];
    const std::size_t open = line.find('"', i);
    if (open == std::string_view::npos) return;
    const std::size_t close = line.find('"', open + 1);
    value = line.substr(
        open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
}

}  // namespace mainline_detail

// Cuts a whole PGN text into games. A tag line that follows movetext starts a new game.
inline std::vector<MainlineGame> read_mainline_games(std::string_view text) {
    using namespace mainline_detail;
    std::vector<MainlineGame> games;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    MainlineGame game;
    bool in_movetext = false;
    bool has_content = false;
    int depth = 0;  // variation nesting
    std::size_t line = 1;
    std::string name, value;

    auto finish = [&] {
        if (has_content) games.push_back(std::move(game));
        game = MainlineGame{};
        game.line = line;
        has_content = false;
        in_movetext = false;
        depth = 0;
    };
    game.line = 1;

    std::size_t i = 0;
    bool line_start = true;
    while (i < text.size()) {
        const char c = text[i];
        if (line_start && c == '%') {  // escape line
            while (i < text.size() && text[i] != '\n') ++i;
            continue;
        }
        if (line_start && c == '[') {  // tag line
            if (in_movetext) finish();
            const std::size_t end = text.find('\n', i);
            const std::string_view tag =
                text.substr(i, end == std::string_view::npos ? end : end - i);
            read_tag(tag, name, value);
            if (name == "FEN") game.fen = value;
            if (name == "Variant") game.variant = value;
            has_content = true;
            i += tag.size();
            continue;
        }
        line_start = false;
        if (c == '\n') {
            ++line;
            line_start = true;
            ++i;
        } else if (is_blank(c)) {
            ++i;
        } else if (c == '{') {  // brace comment, across lines
            while (i < text.size() && text[i] != '}') line += text[i++] == '\n';
            ++i;
        } else if (c == ';') {  // rest-of-line comment
            while (i < text.size() && text[i] != '\n') ++i;
        } else if (c == '(') {
            ++depth;
            ++i;
        } else if (c == ')') {
            if (depth > 0) --depth;
            ++i;
        } else {
            std::size_t end = i;
            while (end < text.size() && !ends_token(text[end])) ++end;
            if (end == i) ++end;  // a stray "}" or "["
            std::string_view token = strip_move_number(text.substr(i, end - i));
            i = end;
            in_movetext = true;
            has_content = true;
            if (depth > 0 || token.empty() || token[0] == '$' || is_result(token)) continue;
            if (token[0] >= '0' && token[0] <= '9' && token != "0-0" && token != "0-0-0") continue;
            game.moves.emplace_back(token);
        }
    }
    finish();
    return games;
}

// Reads a whole file; empty when it cannot be opened.
inline std::string read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vorline
