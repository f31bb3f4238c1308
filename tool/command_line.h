// Command line: default settings, help text, depth and output-name rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The settings a run is given on the command line, and the texts it prints about them.

inline constexpr std::int32_t default_depth = 24;
inline constexpr std::string_view default_output_file_name = "openings.pgn";

inline constexpr std::string_view banner =
    "vorline: finds the opening moves that lead to EPD positions in a PGN file";

// The option list, each line ended by a line break, closed by the banner between empty lines.
std::string help_text();

// Reads the value of "-d" the way a text stream reads an int: leading white space, an
// optional sign, then digits; the rest is ignored. No digits give 0, a number beyond the
// 32-bit range gives the nearest limit, and an empty value leaves the depth as it was.
std::int32_t read_depth(std::string_view value, std::int32_t current);

// The output lies beside the EPD file and takes its name, with ".pgn" for the trailing
// "epd" and the character before it; any other EPD name gives "openings.pgn".
std::string output_file_name(std::string_view epd_file_name);
