#include "tool/run_outputs.h"

#include <cstdio>

#include "tool/opening_phases.h"

namespace vorline {

int RunOutputs::open(const std::string& output_name, std::ostream& out) {
    if (!games.open(output_name)) return file_error("Error while opening ", output_name, out);
    const std::string failed_name(failed_epd_file_name);
    if (!failed_.open(failed_name)) return file_error("Error while opening ", failed_name, out);
    const FileIdentity output_id = games.identity(), failed_id = failed_.identity();
    for (const RunInput* input : {&settings_.pgn, &settings_.epd})
        if (output_id == input->identity)
            return file_error("Output file is an input file: ", output_name, out);
    if (failed_id == settings_.pgn.identity || failed_id == output_id)
        return file_error("Output file is an input file: ", failed_name, out);
    replacing_epd_ = failed_id == settings_.epd.identity;
    if (!games.lock()) return file_error("File in use by another run: ", output_name, out);
    if (!failed_.lock()) return file_error("File in use by another run: ", failed_name, out);
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
