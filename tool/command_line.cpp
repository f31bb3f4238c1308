#include "tool/command_line.h"

#include <algorithm>
#include <limits>

std::string help_text() {
    std::string text =
        "options:\n"
        "-h                : this menu\n"
        "-p <filename>     : pgn file\n"
        "-e <filename>     : epd file\n"
        "-d <number>       : number of half moves in the opening (default 24)\n"
        "\n";
    text += banner;
    text += "\n\n";
    return text;
}

std::int32_t read_depth(std::string_view value, std::int32_t current) {
    if (value.empty()) return current;
    std::size_t i = 0;
    auto is_space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < value.size() && is_space(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';

    // Accumulate with saturation one past the limit, so that any longer number clamps.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    bool any_digit = false;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        any_digit = true;
        magnitude = std::min(magnitude * 10 + (value[i] - '0'), limit);
    }
    if (!any_digit) return 0;
    if (negative) return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, limit - 1));
}

std::string output_file_name(std::string_view epd_file_name) {
    if (!epd_file_name.ends_with("epd")) return std::string(default_output_file_name);
    // "xepd" and a bare "epd" both leave nothing before ".pgn".
    const std::size_t kept = epd_file_name.size() >= 4 ? epd_file_name.size() - 4 : 0;
    std::string name(epd_file_name.substr(0, kept));
    name += ".pgn";
    return name;
}
