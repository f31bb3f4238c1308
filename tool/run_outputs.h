// RunOutputs: the output games and "failed.epd", opened, locked, closed whole or cut back.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "io/output_file.h"
#include "tool/command_line.h"

namespace vorline {

// The files a run writes: the output games, appended to, and "failed.epd", replaced. When
// the EPD file is "failed.epd" itself, the new lines go to a temporary file beside it that
// is renamed over it at the end, so that the lines being answered are never lost.
class RunOutputs {
public:
    explicit RunOutputs(Settings& settings) : settings_(settings) {}

    // Opens and locks both files before any game is read; writes nothing. Returns 0, or
    // the failure status after printing why (the system's reason on `err`). Also refuses
    // a report target that is one of the inputs or of these files.
    int open(const std::string& output_name, std::ostream& out, std::ostream& err);

    // Whether the output games' file was made by this run, and its size when opened.
    bool output_created() const { return output_created_; }
    std::uint64_t output_bytes_before() const { return games.size_at_open(); }

    // The file the failed lines go to, emptied; opened when the second phase begins.
    OutputFile& failed_lines();

    // Closes every file whole. Everything is written before the new failed lines take the
    // place of the old, so that a failure up to then can still be undone by cut_back().
    void close();

    // Leaves the output as it was before the run, and an EPD file being answered untouched.
    void cut_back() noexcept;

    OutputFile games;

private:
    Settings& settings_;
    OutputFile failed_;
    OutputFile temporary_;
    bool replacing_epd_ = false;
    bool output_created_ = false;
};

}  // namespace vorline
