#include "tool/line_tags.h"

#include <algorithm>

namespace vorline {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// The next blank-separated token from `at` on, leaving `at` just past it.
std::string_view next_token(std::string_view line, std::size_t& at, bool stop_at_semicolon) {
    while (at < line.size() && is_blank(line[at])) ++at;
    const std::size_t begin = at;
    while (at < line.size() && !is_blank(line[at]) && !(stop_at_semicolon && line[at] == ';')) ++at;
    return line.substr(begin, at - begin);
}

}  // namespace

std::string epd_id(std::string_view line) {
    std::size_t at = 0;
    for (int field = 0; field < 4; ++field) next_token(line, at, false);
    while (at < line.size()) {
        const std::string_view opcode = next_token(line, at, true);
        if (opcode.empty()) {  // a ";" without an operation before it
            ++at;
            continue;
        }
        // A half-move clock or move number stands alone, without a closing ";".
        if (std::all_of(opcode.begin(), opcode.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        // The operands run to the first ";" outside double quotes.
        const std::size_t begin = at;
        bool quoted = false;
        for (; at < line.size() && (quoted || line[at] != ';'); ++at)
            if (line[at] == '"') quoted = !quoted;
        std::string_view operand = trimmed(line.substr(begin, at - begin));
        ++at;
        if (opcode != "id") continue;
        if (operand.starts_with('"')) {
            operand.remove_prefix(1);
            operand = operand.substr(0, operand.find('"'));
        }
        std::string value(operand);
        for (char& c : value)
            if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
        return std::string(trimmed(value));
    }
    return {};
}

std::string line_tag_lines(std::uint64_t number, std::string_view line) {
    std::string text;
    const auto append_tag = [&text](std::string_view name, std::string_view value) {
        text.append(1, '[').append(name).append(" \"").append(value).append("\"]\n");
    };
    append_tag(line_number_tag, std::to_string(number));
    const std::string id = epd_id(line);
    if (!id.empty()) append_tag(line_id_tag, id);
    return text;
}

}  // namespace vorline
