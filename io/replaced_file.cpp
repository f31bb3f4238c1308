#include "io/replaced_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "io/file_paths.h"

namespace vorline {

OutputFile& ReplacedFile::begin(bool follow_links) {
    target_ = follow_links ? link_target(old_.path()) : old_.path();
    in_place_ = !old_.regular() || !new_.create_unique(target_ + ".new", old_.name(), old_.mode());
    if (!in_place_) return new_;
    old_.empty();
    return old_;
}

void ReplacedFile::commit() {
    if (in_place_) {
        old_.close();
        return;
    }
    new_.flush(true);
    if (std::rename(new_.path().c_str(), target_.c_str()) != 0)
        throw OutputError(old_.name(), std::strerror(errno));
    new_.close();  // from here on, abandon() leaves the new contents alone
    old_.close();
    if (!sync_folder_of(target_)) throw OutputError(old_.name(), std::strerror(errno));
}

void ReplacedFile::abandon() noexcept {
    new_.cut_back();
    old_.cut_back();
}

}  // namespace vorline
