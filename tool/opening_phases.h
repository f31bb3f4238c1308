#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string_view>

#include "pgn/pgn_file.h"

// The side file for EPD lines whose positions are not found, always in the current folder.
inline constexpr std::string_view failed_epd_file_name = "failed.epd";

// The two phases of a run around the opening index that they share: the first indexes
// the positions of the games' openings, the second answers the EPD lines from it. The run
// opens, checks and closes every file; the phases only read and write.
class OpeningPhases {
public:
    // Reads every game text of the opened input and indexes the positions of its first
    // `depth` half moves. Prints nothing; a game that cannot be read is skipped.
    void build_index(PgnFile& games, std::uint32_t depth);

    // Answers every line of the EPD file (read with read_epd_line): a line whose position
    // is indexed becomes a game appended to `output`, any other line is written unchanged,
    // with a line feed, to `failed_lines`.
    void answer_positions(std::istream& epd_lines, std::ostream& failed_lines, PgnFile& output);
};
