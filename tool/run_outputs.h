// RunOutputs: the output games and "failed.epd", opened, locked, closed whole or cut back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "io/append_journal.h"
#include "io/output_file.h"
#include "io/replaced_file.h"
#include "tool/command_line.h"

namespace vorline {

// The files a run writes: the output games, appended to, and "failed.epd", replaced whole.
// Before the first game is appended, the output's size goes to a journal beside it, which
// is removed only once everything is on the disk; a run that finds one left behind cuts the
// output back first. A run that does not complete leaves every file as it was.
class RunOutputs {
public:
    explicit RunOutputs(Settings& settings) : settings_(settings) {}

    // Why open() failed: the message to print, the exit status, and the file and the
    // system's reason when there is one (for standard error and the report).
    struct Failure {
        std::string message;
        int status;
        std::string file_name = {};
        std::string reason = {};
    };

    // Opens and locks both files before any game is read, and undoes what a run that ended
    // abruptly appended to the output; writes nothing else. Removes what it created when it
    // fails. Also refuses a report target that is one of the inputs or of these files.
    std::optional<Failure> open(const std::string& output_name);
    // Whether the output games' file was made by this run, and its size when opened (after
    // any rollback).
    bool output_created() const { return games.created(); }
    std::uint64_t output_bytes_before() const { return games.size_at_open(); }
    // Whether open() cut the output back after a run that ended abruptly.
    bool rolled_back() const { return rolled_back_; }
    // Whether the output is the same file or pipe as `descriptor`.
    bool output_is(int descriptor) const;

    // The file the failed lines go to, empty; called when the second phase begins, before
    // anything is appended to the output.
    OutputFile& failed_lines();

    // Closes every file whole and on the disk: the output, then the new failed lines in the
    // place of the old, then the journal is removed. A failure up to then can still be
    // undone by cut_back().
    void close();

    // Leaves the output as it was before the run, failed.epd as it was, and removes the
    // files this run created. Never throws.
    void cut_back() noexcept;

    OutputFile games;

private:
    Settings& settings_;
    ReplacedFile failed_;
    std::optional<AppendJournal> journal_;
    bool games_locked_ = false;
    bool failed_locked_ = false;
    bool replacing_epd_ = false;
    bool rolled_back_ = false;
};

}  // namespace vorline
