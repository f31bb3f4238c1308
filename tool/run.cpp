#include "tool/run.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "pgn/pgn_file.h"
#include "tool/command_line.h"
#include "tool/opening_phases.h"

namespace {

constexpr int failure = -1;

struct Settings {
    std::string pgn_file_name;
    std::string epd_file_name;
    std::int32_t depth = default_depth;
};

bool can_be_read(const std::string& file_name) {
    std::ifstream file(file_name);
    return file.is_open();
}

int usage_error(std::string_view message, std::ostream& out, std::ostream& err) {
    out << banner << std::endl;
    err << message << std::endl << "Type 'vorline -h' for help" << std::endl;
    return failure;
}

int file_error(std::string_view what, std::string_view file_name, std::ostream& out) {
    out << what << file_name << std::endl;
    return failure;
}

// True when both names lead to one existing file.
bool same_file(const std::string& a, std::string_view b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// The indexing and answering of a run whose settings are complete.
int run_phases(const Settings& settings, std::ostream& out) {
    const std::string output_name = output_file_name(settings.epd_file_name);

    out << "reading " << settings.pgn_file_name << " ..." << std::endl;
    PgnFile games;
    PgnFile output;
    games.open_read(settings.pgn_file_name);
    output.open_write(output_name);
    // Stopping here leaves every file as it was, before any time is spent on the games.
    if (!games.is_reading()) return file_error("Error while opening ", settings.pgn_file_name, out);
    if (!output.is_writing()) return file_error("Error while opening ", output_name, out);

    OpeningPhases phases;
    phases.build_index(games, static_cast<std::uint32_t>(settings.depth));
    games.close_read();

    out << "writing " << output_name << " ..." << std::endl;
    // The EPD file is opened before "failed.epd" is emptied: when it is "failed.epd" itself
    // (a rerun of the failed lines), the name is removed first, so that the open stream
    // keeps the old lines and the new "failed.epd" is a new file.
    std::ifstream epd(settings.epd_file_name, std::ios::binary);
    if (epd.is_open() && same_file(settings.epd_file_name, failed_epd_file_name)) {
        std::error_code ignored;
        std::filesystem::remove(failed_epd_file_name, ignored);
    }
    std::ofstream failed(std::string(failed_epd_file_name), std::ios::binary | std::ios::trunc);
    if (!failed.is_open()) return file_error("Error while opening ", failed_epd_file_name, out);
    if (!epd.is_open()) return file_error("Error while opening ", settings.epd_file_name, out);

    phases.answer_positions(epd, failed, output);
    epd.close();
    failed.close();
    int status = 0;
    if (failed.fail()) status = file_error("Error while writing ", failed_epd_file_name, out);
    if (!output.close_write()) status = file_error("Error while writing ", output_name, out);
    if (status != 0) return status;
    out << "Finished!" << std::endl;
    return 0;
}

}  // namespace

int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err) {
    Settings settings;
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
            case 'p':
                settings.pgn_file_name = value;
                if (!can_be_read(settings.pgn_file_name))
                    return file_error("Problem with input pgn-file ", value, out);
                break;
            case 'e':
                settings.epd_file_name = value;
                if (!can_be_read(settings.epd_file_name))
                    return file_error("Problem with input epd-file ", value, out);
                break;
            case 'd':
                settings.depth = read_depth(value, settings.depth);
                break;
            default:
                break;
        }
    }
    if (settings.pgn_file_name.empty()) return usage_error("Missing pgn file", out, err);
    if (settings.epd_file_name.empty()) return usage_error("Missing epd file", out, err);
    return run_phases(settings, out);
}
