// Line tags: the tags that tie an output game to the EPD line it answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorline {

// The line's number in the EPD file, counted from 1 (empty lines count), and the operand of
// its "id" operation when it has one.
inline constexpr std::string_view line_number_tag = "EpdLine";
inline constexpr std::string_view line_id_tag = "EpdId";

// The operand of the first "id" operation of an EPD line (after the four position fields and
// any move counters), without its quotes, as a tag value that every PGN reader reads back as
// written: quotes, backslashes and control characters become blanks, and blanks at either
// end are dropped. Empty when the line has no "id" operation.
std::string epd_id(std::string_view line);

// The tag lines for the EPD line `line`, number `number`: EpdLine, and EpdId when it has one.
std::string line_tag_lines(std::uint64_t number, std::string_view line);

}  // namespace vorline
