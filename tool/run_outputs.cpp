#include "tool/run_outputs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "tool/opening_phases.h"

namespace vorline {

int RunOutputs::open(const std::string& output_name, std::ostream& out, std::ostream& err) {
    const auto fail = [&](std::string_view what, std::string_view name, std::string_view reason) {
        return file_error(what, name, reason, settings_, out, err);
    };
    // The report takes its target's place at the end: that must be no input, nor one of
    // the files below.
    const std::optional<FileIdentity> report_id = settings_.report.target_identity();
    if (report_id && (*report_id == settings_.pgn.identity || *report_id == settings_.epd.identity))
        return fail("Output file is an input file: ", settings_.report.name(), {});
    struct stat status;
    output_created_ = stat(output_name.c_str(), &status) != 0 && errno == ENOENT;
    if (!games.open(output_name))
        return fail("Error while opening ", output_name, std::strerror(errno));
    const std::string failed_name(failed_epd_file_name);
    if (!failed_.open(failed_name))
        return fail("Error while opening ", failed_name, std::strerror(errno));
    const FileIdentity output_id = games.identity(), failed_id = failed_.identity();
    for (const RunInput* input : {&settings_.pgn, &settings_.epd})
        if (output_id == input->identity)
            return fail("Output file is an input file: ", output_name, {});
    if (failed_id == settings_.pgn.identity || failed_id == output_id)
        return fail("Output file is an input file: ", failed_name, {});
    if (report_id && (*report_id == output_id || *report_id == failed_id))
        return fail("Output file is an input file: ", settings_.report.name(), {});
    replacing_epd_ = failed_id == settings_.epd.identity;
    if (!games.lock()) return fail("File in use by another run: ", output_name, {});
    if (!failed_.lock()) return fail("File in use by another run: ", failed_name, {});
    return 0;
}

OutputFile& RunOutputs::failed_lines() {
    if (!replacing_epd_) {
        failed_.empty();
        return failed_;
    }
    if (!temporary_.create_unique(failed_.name() + ".new", failed_.name()))
        throw OutputError(failed_.name(), "cannot be created");
    return temporary_;
}

void RunOutputs::close() {
    games.flush();
    if (replacing_epd_) {
        temporary_.flush(true);
        if (std::rename(temporary_.path().c_str(), failed_.path().c_str()) != 0)
            throw OutputError(failed_.name(), "cannot be replaced");
        temporary_.close();
    }
    failed_.close();
    games.close();
}

void RunOutputs::cut_back() noexcept {
    games.cut_back();
    if (!replacing_epd_) return;
    temporary_.cut_back();
    if (!temporary_.path().empty()) std::remove(temporary_.path().c_str());
}

}  // namespace vorline
