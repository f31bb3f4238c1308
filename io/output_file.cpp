#include "io/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vorline {

namespace {

// Large enough that writes are few, small enough that the buffer's first filling, which
// touches fresh memory page by page, stays cheap.
constexpr std::size_t buffer_limit = std::size_t{1} << 18;

}  // namespace

FileIdentity FileIdentity::of(int descriptor) {
    struct stat status;
    if (descriptor < 0 || fstat(descriptor, &status) != 0) return {};
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

OutputFile::~OutputFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

bool OutputFile::open(const std::string& file_name) {
    name_ = path_ = file_name;
    do descriptor_ = ::open(file_name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    while (descriptor_ < 0 && errno == EINTR);
    struct stat status;
    if (descriptor_ < 0) return false;
    if (fstat(descriptor_, &status) != 0) return false;
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return false;
    }
    regular_ = S_ISREG(status.st_mode);
    size_at_open_ = regular_ ? static_cast<std::uint64_t>(status.st_size) : 0;
    return true;
}

bool OutputFile::create_unique(const std::string& prefix, const std::string& shown_name) {
    std::vector<char> pattern(prefix.begin(), prefix.end());
    for (char c : std::string_view(".XXXXXX")) pattern.push_back(c);
    pattern.push_back('\0');
    descriptor_ = mkostemp(pattern.data(), O_APPEND | O_CLOEXEC);
    if (descriptor_ < 0) return false;
    path_ = pattern.data();
    name_ = shown_name;
    regular_ = true;
    size_at_open_ = 0;
    return true;
}

bool OutputFile::lock() { return flock(descriptor_, LOCK_EX | LOCK_NB) == 0; }

void OutputFile::empty() {
    buffer_.clear();
    if (!regular_) return;
    if (ftruncate(descriptor_, 0) != 0) throw OutputError(name_, std::strerror(errno));
    size_at_open_ = 0;
}

void OutputFile::write(std::string_view text) {
    // The buffer takes its size once, with room for the text that crosses the limit,
    // rather than growing by copies into ever larger fresh memory.
    if (buffer_.capacity() < buffer_limit) buffer_.reserve(buffer_limit + (buffer_limit >> 3));
    buffer_.append(text);
    if (buffer_.size() >= buffer_limit) flush();
}

void OutputFile::flush(bool durably) {
    const char* next = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor_, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw OutputError(name_, std::strerror(written < 0 ? errno : ENOSPC));
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    buffer_.clear();
    if (durably && fsync(descriptor_) != 0) throw OutputError(name_, std::strerror(errno));
}

void OutputFile::close() {
    flush();
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0 && errno != EINTR) throw OutputError(name_, std::strerror(errno));
}

void OutputFile::cut_back() noexcept {
    buffer_.clear();
    if (descriptor_ < 0) return;
    if (regular_) {
        while (ftruncate(descriptor_, static_cast<off_t>(size_at_open_)) != 0 && errno == EINTR) {
        }
    }
    ::close(descriptor_);
    descriptor_ = -1;
}

}  // namespace vorline
