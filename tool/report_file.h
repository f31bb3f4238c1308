// ReportFile: where "-r" sends a run's report, written whole under a temporary name first.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "io/output_file.h"

namespace vorline {

// The report's target: a file, or standard error for "-". A file's text goes to a new
// temporary file beside it, made when the option is met (so that a target that cannot be
// written fails before any work), and takes the target's place by a rename only when it is
// complete: a reader sees the old report or the new one, never part of one. A temporary
// file never committed is removed.
class ReportFile {
public:
    ReportFile() = default;
    ~ReportFile() { discard(); }
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Aims the report at `target` ("-" for standard error), in place of any earlier one.
    // False when the temporary file cannot be made beside it, with errno telling why.
    bool open(std::string_view target);
    bool wanted() const { return !target_.empty(); }
    const std::string& name() const { return target_; }
    // The file the target names now, if any (never for standard error).
    std::optional<FileIdentity> target_identity() const;

    // Writes `text` whole and puts it in the target's place (or writes it on `err` for
    // "-"). Throws OutputError when it cannot; the target is then as it was.
    void commit(std::string_view text, std::ostream& err);
    // Removes the temporary file, if one is left.
    void discard() noexcept;

private:
    std::string target_;
    OutputFile temporary_;
};

}  // namespace vorline
