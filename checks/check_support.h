// Check support: what the shared checks need to fail loudly and read their inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorline {

// What the input checks of the fuzz targets share with the regression tests that run the
// same checks on saved inputs.

// A property of the system that an input broke.
class PropertyViolated : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline void require(bool holds, std::string_view what) {
    if (!holds) throw PropertyViolated(std::string(what));
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The lines of a text as the PGN cutter sees them: split at line feeds, a last piece
// without a line feed is a line when it is not empty, and carriage returns at the end of
// each line are dropped when `drop_carriage_returns` is set.
inline std::vector<std::string_view> split_lines(std::string_view text,
                                                 bool drop_carriage_returns) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (drop_carriage_returns)
            while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

}  // namespace vorline
