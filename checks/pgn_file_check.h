// PGN file check: the game cutter against a plain line-by-line cutter.
#pragma once

// Cuts a byte stream into game texts with PgnFile, through a read buffer of a small size,
// and compares the texts with a plain line-by-line cutter written from the rules: leading
// empty lines skipped, a byte-order mark removed from the first game, whole lines up to the
// second empty line outside a brace comment or up to a tag line ("[" at the start, outside
// a comment) that follows a movetext line, nothing lost or added.
#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "checks/check_support.h"
#include "pgn/pgn_file.h"

namespace vorline {

namespace pgn_file_check {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

inline std::vector<std::string> cut_by_lines(std::string_view bytes) {
    const std::vector<std::string_view> lines = split_lines(bytes, true);
    std::vector<std::string> games;
    std::size_t next = 0;
    bool strip_mark = true;
    for (;;) {
        std::string text;
        std::string_view line;
        bool found = false;
        while (next < lines.size()) {
            line = lines[next++];
            if (strip_mark && line.starts_with(byte_order_mark)) {
                line.remove_prefix(byte_order_mark.size());
                strip_mark = false;
            }
            if (!line.empty()) {
                found = true;
                break;
            }
        }
        if (!found) return games;
        strip_mark = false;
        bool in_comment = false;
        bool movetext_seen = false;
        int empty_lines = 0;
        for (;;) {
            const bool tag_line = line.starts_with('[') && !in_comment;
            if (tag_line && movetext_seen) {
                --next;  // the line begins the next game text
                break;
            }
            if (!line.empty() && !tag_line && !line.starts_with('%') && !in_comment)
                movetext_seen = true;
            text.append(line);
            text.push_back('\n');
            if (!tag_line) {
                for (const char c : line) {
                    if (c == '{') in_comment = true;
                    if (c == '}') in_comment = false;
                }
            }
            if (line.empty() && !in_comment && ++empty_lines == 2) break;
            if (next == lines.size()) break;
            line = lines[next++];
        }
        games.push_back(std::move(text));
    }
}

}  // namespace pgn_file_check

// `input`: the first byte picks the read buffer size (1 to 64), so that lines, marks and
// carriage returns straddle buffer boundaries in every way; the rest is the file, which
// is written to `path`.
inline void check_pgn_file(std::string_view input, const std::string& path) {
    using namespace pgn_file_check;
    if (input.empty()) return;
    const std::size_t buffer_size = 1 + static_cast<unsigned char>(input[0]) % 64;
    const std::string_view bytes = input.substr(1);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        require(!out.fail(), "scratch file written");
    }
    const std::vector<std::string> expected = cut_by_lines(bytes);
    PgnFile file(buffer_size);
    file.open_read(path);
    require(file.is_reading(), "scratch file opened");
    std::size_t count = 0;
    for (const std::string* text = &file.read_first_game(); !text->empty();
         text = &file.read_next_game()) {
        require(count < expected.size(), "no more game texts than the cutter finds");
        require(*text == expected[count], "game text equals the line-by-line cut");
        ++count;
    }
    require(count == expected.size(), "every game text handed over");
    require(file.read_next_game().empty(), "end of file stays the end");

    // Rewinding gives the first game again.
    const std::string& first = file.read_first_game();
    require(expected.empty() ? first.empty() : first == expected.front(), "rewind");
    file.close_read();
}

}  // namespace vorline
