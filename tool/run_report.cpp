#include "tool/run_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace vorline {

namespace {

// snprintf into a text; the texts made here are short.
template <class... Values>
std::string printed(const char* format, Values... values) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, format, values...);
    return std::string(text, n < 0 ? 0 : std::min<std::size_t>(std::size_t(n), sizeof text - 1));
}

// Sizes in megabytes with one decimal, or in gigabytes for files from 10 GB.
struct SizeUnit {
    explicit SizeUnit(std::uint64_t largest)
        : divisor(largest >= 10'000'000'000 ? 1e9 : 1e6), name(divisor == 1e9 ? " GB" : " MB") {}
    std::string operator()(std::uint64_t bytes) const { return printed("%.1f", bytes / divisor); }
    double divisor;
    const char* name;
};

}  // namespace

std::string with_thousands(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, 1, ',');
    return digits;
}

std::string duration_text(double seconds) {
    if (!(seconds >= 0)) seconds = 0;
    if (seconds < 60) return printed("%.2f s", seconds);
    const auto whole = std::uint64_t(std::llround(seconds));
    const std::uint64_t hours = whole / 3600, minutes = whole / 60 % 60, rest = whole % 60;
    if (hours == 0) return printed("%u:%02u", unsigned(minutes), unsigned(rest));
    return printed("%llu:%02u:%02u", static_cast<unsigned long long>(hours), unsigned(minutes),
                   unsigned(rest));
}

std::string indexing_status(const RunCounters& counters, const IndexingState& state,
                            double seconds) {
    std::string text = "indexing: ";
    const std::uint64_t bytes = state.bytes_read.value_or(0);
    const bool sized = state.bytes_read && state.total_bytes && *state.total_bytes > 0;
    if (state.bytes_read) {
        const SizeUnit unit(std::max(bytes, state.total_bytes.value_or(0)));
        text += unit(bytes);
        if (sized) {
            text += " of " + unit(*state.total_bytes) + unit.name;
            const double share = std::min(1.0, double(bytes) / double(*state.total_bytes));
            text += printed(" (%d%%)", int(share * 100));
        } else {
            text += unit.name;
        }
        text += ", ";
    }
    text += with_thousands(counters.games_read) + " games, " + with_thousands(state.positions) +
            " positions";
    if (seconds > 0) {
        text += ", " + with_thousands(std::uint64_t(double(counters.games_read) / seconds)) +
                " games/s";
    }
    if (sized && seconds > 0 && bytes > 0 && bytes <= *state.total_bytes) {
        const double rate = double(bytes) / seconds;
        text += ", " + duration_text(double(*state.total_bytes - bytes) / rate) + " left";
    }
    return text;
}

std::string answering_status(const RunCounters& counters) {
    return "answering: " + with_thousands(counters.lines_answered()) + " lines, " +
           with_thousands(counters.lines_found) + " found, " +
           with_thousands(counters.lines_not_found) + " not found";
}

std::string answering_status(const RunCounters& counters, std::optional<std::uint64_t> bytes_read,
                             std::optional<std::uint64_t> total_bytes) {
    if (!bytes_read || !total_bytes || *total_bytes == 0) return answering_status(counters);
    const SizeUnit unit(std::max(*bytes_read, *total_bytes));
    const double share = std::min(1.0, double(*bytes_read) / double(*total_bytes));
    return "answering: " + unit(*bytes_read) + " of " + unit(*total_bytes) + unit.name +
           printed(" (%d%%), ", int(share * 100)) + with_thousands(counters.lines_answered()) +
           " lines, " + with_thousands(counters.lines_found) + " found, " +
           with_thousands(counters.lines_not_found) + " not found";
}

std::vector<std::string> run_hints(const RunCounters& counters, std::uint64_t positions,
                                   std::int32_t depth) {
    std::vector<std::string> hints;
    if (counters.lines_beyond_depth > 0) {
        const std::uint64_t lines = counters.lines_beyond_depth;
        hints.push_back(with_thousands(lines) + (lines == 1 ? " line" : " lines") + " not found " +
                        (lines == 1 ? "names" : "name") + " a move number beyond depth " +
                        std::to_string(depth) + "; -d " +
                        std::to_string(counters.depth_covering_all) +
                        (lines == 1 ? " covers it" : " covers them"));
    }
    if (positions == 0) {
        std::string hint = "no position was indexed: ";
        if (depth == 0)
            hint += "the depth is 0";
        else if (counters.games_read == 0)
            hint += "the PGN file holds no game";
        else
            hint += "none of the " + with_thousands(counters.games_read) +
                    " games read has a move that could be played (" +
                    with_thousands(counters.games_skipped_for_fen) + " skipped for FEN, " +
                    with_thousands(counters.games_stopped_early) + " stopped at a bad move)";
        hints.push_back(std::move(hint));
    }
    return hints;
}

std::string run_summary(const RunCounters& counters, std::uint64_t positions, double seconds,
                        std::string_view output_file_name) {
    const std::pair<const char*, std::string> lines[] = {
        {"games read", with_thousands(counters.games_read)},
        {"skipped for FEN", with_thousands(counters.games_skipped_for_fen)},
        {"stopped at a bad move", with_thousands(counters.games_stopped_early)},
        {"positions indexed", with_thousands(positions)},
        {"EPD lines found", with_thousands(counters.lines_found)},
        {"EPD lines not found", with_thousands(counters.lines_not_found)},
        {"time taken", duration_text(seconds)},
        {"output file", std::string(output_file_name)},
    };
    std::string text;
    for (const auto& [label, value] : lines) {
        text += label;
        text += ':';
        text.append(22 - std::string_view(label).size(), ' ');
        text += value;
        text += '\n';
    }
    return text;
}

}  // namespace vorline
