#include "tool/opening_phases.h"

#include <string>

#include "tool/epd_line.h"

void OpeningPhases::build_index(PgnFile& games, std::uint32_t /*depth*/) {
    // The index is not built yet: the games are only cut.
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
    }
}

void OpeningPhases::answer_positions(std::istream& epd_lines, std::ostream& failed_lines,
                                     PgnFile& /*output*/) {
    // With an empty index no position is found: every line goes to "failed.epd".
    std::string line;
    while (read_epd_line(epd_lines, line)) failed_lines << line << '\n';
}
