#include "io/replaced_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>

#include "io/file_paths.h"

namespace vorline {

namespace {

// Six characters drawn at random, as mkstemp draws them.
std::string random_suffix() {
    static constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(getpid()));
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += letters[random() % letters.size()];
    return suffix;
}

}  // namespace

const std::string& ReplacedFile::plan(bool follow_links) {
    target_ = follow_links ? link_target(old_.path()) : old_.path();
    const std::string::size_type slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : target_.substr(0, slash);
    // A folder that takes no new file leaves the file to be written in place.
    in_place_ = !old_.regular() || access(folder.c_str(), W_OK | X_OK) != 0;
    temporary_ = in_place_ ? "" : target_ + ".new." + random_suffix();
    return temporary_;
}

OutputFile* ReplacedFile::begin() {
    if (in_place_) {
        old_.empty();
        return &old_;
    }
    if (new_.create_new(temporary_, old_.name(), old_.mode())) {
        new_.write_behind();
        return &new_;
    }
    if (errno == EEXIST) return nullptr;
    throw OutputError(old_.name(), std::strerror(errno));
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
