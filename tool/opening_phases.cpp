#include "tool/opening_phases.h"

#include <fstream>
#include <istream>

namespace {

// One EPD line without its line break; a carriage return directly before the line feed
// belongs to the break. A last line without a line break counts as a line.
bool read_epd_line(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!in.eof() && !line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

void OpeningPhases::build_index(PgnFile& games, std::uint32_t /*depth*/) {
    // The index is not built yet: the games are only cut.
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
    }
}

AnswerOutcome OpeningPhases::answer_positions(const std::string& epd_file_name,
                                              PgnFile& /*output*/) {
    std::ofstream failed(std::string(failed_epd_file_name), std::ios::binary | std::ios::trunc);
    if (!failed.is_open()) return AnswerOutcome::failed_epd_not_opened;
    std::ifstream epd(epd_file_name, std::ios::binary);
    if (!epd.is_open()) return AnswerOutcome::epd_not_opened;

    // With an empty index no position is found: every line goes to "failed.epd".
    std::string line;
    while (read_epd_line(epd, line)) {
        failed << line << '\n';
    }
    failed.close();
    return failed.fail() ? AnswerOutcome::failed_epd_not_written : AnswerOutcome::done;
}
