#pragma once

#include <istream>
#include <string>

// Reads one EPD line into `line` without its line break; a carriage return directly before
// the line feed belongs to the break, and nothing else is removed. A last line without a
// line break counts as a line. False when no line is left (or the stream fails).
bool read_epd_line(std::istream& in, std::string& line);
