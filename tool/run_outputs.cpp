#include "tool/run_outputs.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "io/interruption_request.h"
#include "tool/opening_phases.h"

namespace vorline {

std::optional<RunOutputs::Failure> RunOutputs::open(const std::string& output_name) {
    // Only a file this run holds the lock of is cut back or removed after a failure: the
    // other may be another run's.
    const auto fail = [this](std::string message, std::string file_name = {},
                             std::string reason = {}) {
        cut_back();
        return Failure{std::move(message), failure_status, std::move(file_name), std::move(reason)};
    };
    const auto cannot_open = [&](const std::string& name) {
        std::string reason = std::strerror(errno);
        return fail("Error while opening " + name, name, std::move(reason));
    };
    // The report takes its target's place at the end: that must be no input, nor one of
    // the files below.
    const std::optional<FileIdentity> report_id = settings_.report.target_identity();
    if (report_id && (*report_id == settings_.pgn.identity || *report_id == settings_.epd.identity))
        return Failure{"Output file is an input file: " + settings_.report.name(), failure_status};
    const std::string failed_name(failed_epd_file_name);
    try {
        if (!games.open(output_name)) return cannot_open(output_name);
        if (!games.lock())
            return Failure{"File in use by another run: " + output_name, failure_status};
        games_locked_ = true;
        if (!failed_.open(failed_name)) return cannot_open(failed_name);
    } catch (const Interrupted& interruption) {
        cut_back();
        return Failure{"Interrupted", 128 + interruption.signal()};
    }
    const FileIdentity output_id = games.identity(), failed_id = failed_.identity();
    // Locked before the checks, so that a failed.epd this run created is removed; a
    // failed.epd that is the output itself is held by the output's lock.
    if (failed_id != output_id) {
        if (!failed_.lock()) return fail("File in use by another run: " + failed_name);
        failed_locked_ = true;
    }
    for (const RunInput* input : {&settings_.pgn, &settings_.epd})
        if (output_id == input->identity)
            return fail("Output file is an input file: " + output_name);
    if (failed_id == settings_.pgn.identity || failed_id == output_id)
        return fail("Output file is an input file: " + failed_name);
    if (report_id && (*report_id == output_id || *report_id == failed_id))
        return fail("Output file is an input file: " + settings_.report.name());
    replacing_epd_ = failed_id == settings_.epd.identity;
    if (games.regular()) {
        try {
            journal_.emplace(games);
            rolled_back_ = journal_->roll_back(games);
        } catch (const OutputError&) {
            return fail("Error while writing " + output_name);
        }
    }
    return std::nullopt;
}

bool RunOutputs::output_is(int descriptor) const {
    const FileIdentity output = games.identity();
    return output != FileIdentity{} && output == FileIdentity::of(descriptor);
}

OutputFile& RunOutputs::failed_lines() {
    // The journal names the temporary file before it exists, so that no run leaves one
    // behind that the next cannot find.
    for (;;) {
        // The EPD file being answered keeps its name's link (if any) and what it leads to.
        const std::string& temporary = failed_.plan(!replacing_epd_);
        if (journal_ && !journal_->record(games, temporary)) journal_.reset();
        if (journal_) games.write_behind();
        if (OutputFile* lines = failed_.begin()) return *lines;
    }
}

void RunOutputs::close() {
    games.flush(true);
    failed_.commit();
    if (journal_) journal_->remove();
    games.close();
}

void RunOutputs::cut_back() noexcept {
    const bool output_restored = !games_locked_ || games.cut_back();
    if (failed_locked_) failed_.abandon();
    // A journal whose output could not be cut back is left for the next run to finish.
    if (journal_ && output_restored) journal_->discard();
}

}  // namespace vorline
