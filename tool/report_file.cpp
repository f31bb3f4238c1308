#include "tool/report_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorline {

bool ReportFile::open(std::string_view target) {
    discard();
    target_ = target;
    if (target_ == "-") return true;
    if (!temporary_.create_unique(target_ + ".tmp", target_)) {
        target_.clear();
        return false;
    }
    // A temporary file is made for its owner alone; the report gets the mode of any new
    // file (the umask is read while the command line is, before any thread starts).
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary_.path().c_str(), 0666 & ~mask);
    return true;
}

std::optional<FileIdentity> ReportFile::target_identity() const {
    struct stat status;
    if (target_.empty() || target_ == "-" || stat(target_.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino)};
}

void ReportFile::commit(std::string_view text, std::ostream& err) {
    if (target_ == "-") {
        err << text << std::flush;
        target_.clear();
        return;
    }
    temporary_.write(text);
    temporary_.flush(true);
    if (std::rename(temporary_.path().c_str(), target_.c_str()) != 0)
        throw OutputError(target_, std::strerror(errno));
    temporary_.close();
    target_.clear();
}

void ReportFile::discard() noexcept {
    if (target_.empty() || target_ == "-") return;
    temporary_.cut_back();
    if (!temporary_.path().empty()) std::remove(temporary_.path().c_str());
    target_.clear();
}

}  // namespace vorline
