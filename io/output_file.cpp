#include "io/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "io/interruption_request.h"

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
    created_ = false;
    // Told apart from an existing file so that a failed run can remove what it made. A
    // second O_EXCL failure (a link to nothing, or a file made meanwhile) opens as before.
    int flags = O_WRONLY | O_APPEND | O_CLOEXEC;
    for (int attempt = 0;;) {
        descriptor_ = ::open(file_name.c_str(), flags, 0666);
        if (descriptor_ >= 0) break;
        if (errno == EINTR) {
            stop_if_interrupted();
            continue;
        }
        if (errno == ENOENT && attempt == 0)
            flags |= O_CREAT | O_EXCL;
        else if (errno == EEXIST && attempt == 1)
            flags &= ~O_EXCL;
        else
            return false;
        ++attempt;
    }
    created_ = (flags & O_EXCL) != 0;
    struct stat status;
    if (fstat(descriptor_, &status) != 0) return false;
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return false;
    }
    identity_ = FileIdentity::of(descriptor_);
    regular_ = S_ISREG(status.st_mode);
    mode_ = status.st_mode & 07777;
    size_at_open_ = regular_ ? static_cast<std::uint64_t>(status.st_size) : 0;
    return true;
}

bool OutputFile::create_new(const std::string& path, const std::string& shown_name, unsigned mode) {
    descriptor_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor_ < 0) return false;
    path_ = path;
    name_ = shown_name;
    identity_ = FileIdentity::of(descriptor_);
    regular_ = true;
    created_ = true;
    mode_ = mode;
    size_at_open_ = 0;
    // Set apart from the umask, which the mode already went through when the file was made.
    if (fchmod(descriptor_, static_cast<mode_t>(mode)) != 0) {
        const int error = errno;
        cut_back();
        errno = error;
        return false;
    }
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
    identity_ = FileIdentity::of(descriptor_);
    regular_ = true;
    created_ = true;
    mode_ = 0600;
    size_at_open_ = 0;
    return true;
}

bool OutputFile::lock() { return !regular_ || flock(descriptor_, LOCK_EX | LOCK_NB) == 0; }

std::uint64_t OutputFile::size() const {
    struct stat status;
    if (fstat(descriptor_, &status) != 0) throw OutputError(name_, std::strerror(errno));
    return static_cast<std::uint64_t>(status.st_size);
}

bool OutputFile::shorten_to(std::uint64_t size) {
    if (!regular_ || this->size() <= size) return false;
    if (ftruncate(descriptor_, static_cast<off_t>(size)) != 0 || fsync(descriptor_) != 0)
        throw OutputError(name_, std::strerror(errno));
    size_at_open_ = size;
    return true;
}

void OutputFile::empty() {
    buffer_.clear();
    if (!regular_) return;
    changed_ = true;
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
    if (left > 0) changed_ = true;
    while (left > 0) {
        const ssize_t written = ::write(descriptor_, next, left);
        if (written < 0 && errno == EINTR) {
            stop_if_interrupted();
            continue;
        }
        if (written <= 0) throw OutputError(name_, std::strerror(written < 0 ? errno : ENOSPC));
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    // Starts the writing back of the file's dirty pages; a failure here only leaves more
    // for the final fsync.
    if (writes_behind_ && regular_ && !buffer_.empty())
        sync_file_range(descriptor_, 0, 0, SYNC_FILE_RANGE_WRITE);
    buffer_.clear();
    if (durably && regular_ && fsync(descriptor_) != 0)
        throw OutputError(name_, std::strerror(errno));
}

void OutputFile::close() {
    flush();
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0 && errno != EINTR) throw OutputError(name_, std::strerror(errno));
}

bool OutputFile::cut_back() noexcept {
    buffer_.clear();
    if (descriptor_ < 0) return true;
    bool cut = true;
    if (regular_ && changed_) {
        int result;
        while ((result = ftruncate(descriptor_, static_cast<off_t>(size_at_open_))) != 0 &&
               errno == EINTR) {
        }
        cut = result == 0 && fsync(descriptor_) == 0;
    }
    ::close(descriptor_);
    descriptor_ = -1;
    remove_if_created();
    return cut;
}

void OutputFile::remove_if_created() noexcept {
    if (!created_) return;
    struct stat status;
    if (lstat(path_.c_str(), &status) == 0 &&
        FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                     static_cast<std::uint64_t>(status.st_ino)} == identity_)
        ::unlink(path_.c_str());
    created_ = false;
}

}  // namespace vorline
