#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pgn/pgn_file.h"

// The side file for EPD lines whose positions are not found, always in the current folder.
inline constexpr std::string_view failed_epd_file_name = "failed.epd";

// How the second phase ended; every value but `done` makes the run fail.
enum class AnswerOutcome {
    done,
    failed_epd_not_opened,   // "failed.epd" could not be created
    epd_not_opened,          // the EPD file could not be opened ("failed.epd" is left empty)
    failed_epd_not_written,  // a write to "failed.epd" or its close failed
};

// The two phases of a run around the opening index that they share: the first indexes
// the positions of the games' openings, the second answers the EPD lines from it.
class OpeningPhases {
public:
    // Reads every game text of the opened input and indexes the positions of its first
    // `depth` half moves. Prints nothing; a game that cannot be read is skipped.
    void build_index(PgnFile& games, std::uint32_t depth);

    // Creates "failed.epd" (emptied if it exists), then reads the EPD file line by line:
    // a line whose position is indexed becomes a game appended to `output`, any other
    // line is copied unchanged to "failed.epd". Both files are closed on return.
    AnswerOutcome answer_positions(const std::string& epd_file_name, PgnFile& output);
};
