#include "tool/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <ostream>

#include "tool/version.h"

namespace vorline {

namespace {

int usage_error(std::string_view message, Settings& settings, std::ostream& out,
                std::ostream& err) {
    settings.failure = message;
    out << banner << std::endl;
    err << message << std::endl << "Type 'vorline -h' for help" << std::endl;
    return failure_status;
}

}  // namespace

std::optional<int> read_command_line(std::span<const char* const> arguments, Settings& settings,
                                     std::ostream& out, std::ostream& err) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') continue;
        // The value is the next argument, which is still visited in its own turn; an
        // option that ends the command line has an empty value.
        const std::string_view value = i + 1 < arguments.size() ? arguments[i + 1] : "";
        switch (argument[1]) {
            case 'h':
                out << help_text() << std::flush;
                return 0;
            case 'v':
                out << "vorline " << version_text() << std::endl;
                return 0;
            case 'p':
                if (!settings.pgn.open(value))
                    return file_error("Problem with input pgn-file ", value,
                                      settings.pgn.failure_reason, settings, out, err);
                break;
            case 'e':
                if (!settings.epd.open(value))
                    return file_error("Problem with input epd-file ", value,
                                      settings.epd.failure_reason, settings, out, err);
                break;
            case 'r':
                if (value.empty())
                    return usage_error("Missing report file name after -r", settings, out, err);
                if (!settings.report.open(value))
                    return file_error("Error while opening ", value, std::strerror(errno), settings,
                                      out, err);
                break;
            case 'd':
                settings.depth = read_depth(value, settings.depth);
                settings.depth_given = true;
                break;
            case 't':
                // Read as "-d" reads its number.
                settings.threads = read_depth(value, settings.threads);
                break;
            case 'o':
                settings.output_file_name = value;
                break;
            case 'l':
                settings.line_tags = true;
                break;
            case 'i':
                settings.index_files.emplace_back(value);
                break;
            case 'w':
                settings.write_index = value;
                break;
            case 'm':
                settings.memory_budget = read_memory_size(value);
                if (!settings.memory_budget)
                    return usage_error("Bad memory size after -m: " + std::string(value), settings,
                                       out, err);
                break;
            case 'T':
                settings.temporary_folder = value;
                break;
            default:
                break;
        }
    }
    if (!settings.pgn.name.empty() && !settings.index_files.empty())
        return usage_error("Options -p and -i cannot be used together", settings, out, err);
    if (settings.pgn.name.empty() && settings.index_files.empty())
        return usage_error("Missing pgn file", settings, out, err);
    // Saved indexes alone ("-i" without "-e" or "-w") are checked whole.
    if (settings.epd.name.empty() && !settings.write_index && settings.index_files.empty())
        return usage_error("Missing epd file", settings, out, err);
    for (const std::string& name : settings.index_files)
        if (name.empty())
            return usage_error("Missing index file name after -i", settings, out, err);
    if (settings.write_index && settings.write_index->empty())
        return usage_error("Missing index file name after -w", settings, out, err);
    if (settings.temporary_folder && settings.temporary_folder->empty())
        return usage_error("Missing folder name after -T", settings, out, err);
    if (settings.output_file_name && settings.output_file_name->empty())
        return usage_error("Missing output file name after -o", settings, out, err);
    return std::nullopt;
}

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

std::optional<std::uint64_t> read_memory_size(std::string_view value) {
    std::uint64_t number = 0;
    std::size_t i = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        if (number > (~std::uint64_t{0} - 9) / 10) return std::nullopt;
        number = number * 10 + std::uint64_t(value[i] - '0');
    }
    if (i == 0 || value.size() > i + 1) return std::nullopt;
    const char unit = i < value.size() ? value[i] : 'K';
    unsigned shift = 0;
    switch (unit) {
        case 'b':
            shift = 0;
            break;
        case 'k':
        case 'K':
            shift = 10;
            break;
        case 'm':
        case 'M':
            shift = 20;
            break;
        case 'g':
        case 'G':
            shift = 30;
            break;
        case 't':
        case 'T':
            shift = 40;
            break;
        default:
            return std::nullopt;
    }
    if (number > (~std::uint64_t{0} >> shift)) return std::nullopt;
    return number << shift;
}

std::string output_file_name(std::string_view epd_file_name) {
    if (!epd_file_name.ends_with("epd")) return std::string(default_output_file_name);
    // "xepd" and a bare "epd" both leave nothing before ".pgn".
    const std::size_t kept = epd_file_name.size() >= 4 ? epd_file_name.size() - 4 : 0;
    std::string name(epd_file_name.substr(0, kept));
    name += ".pgn";
    return name;
}

int file_error(std::string_view what, std::string_view file_name, std::ostream& out) {
    out << what << file_name << std::endl;
    return failure_status;
}

int file_error(std::string_view what, std::string_view file_name, std::string_view reason,
               Settings& settings, std::ostream& out, std::ostream& err) {
    settings.failure = what;
    settings.failure += file_name;
    settings.failure_reason = reason;
    out << settings.failure << std::endl;
    if (!reason.empty()) err << file_name << ": " << reason << std::endl;
    return failure_status;
}

}  // namespace vorline
