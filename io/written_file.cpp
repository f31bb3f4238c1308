#include "io/written_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "io/output_file.h"

namespace vorline {

namespace {

constexpr std::size_t buffer_limit = std::size_t{1} << 20;

int create_unique(std::string& path) {
    std::vector<char> pattern(path.begin(), path.end());
    for (char c : std::string_view(".XXXXXX")) pattern.push_back(c);
    pattern.push_back('\0');
    const int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    path = pattern.data();
    return descriptor;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

WrittenFile::~WrittenFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!temporary_path_.empty()) std::remove(temporary_path_.c_str());
}

bool WrittenFile::create_replacing(const std::string& target) {
    target_ = shown_name_ = target;
    std::string path = target;
    descriptor_ = create_unique(path);
    if (descriptor_ < 0) return false;
    temporary_path_ = path;
    // A new file's permissions, as creating it by name would give, rather than mkstemp's.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor_, 0666 & ~mask);
    return true;
}

bool WrittenFile::create_scratch(const std::string& folder, const std::string& shown_name) {
    shown_name_ = shown_name;
    std::string path = folder + "/vorline-scratch";
    descriptor_ = create_unique(path);
    if (descriptor_ < 0) return false;
    std::remove(path.c_str());
    return true;
}

void WrittenFile::write(std::span<const std::byte> bytes) {
    if (buffer_.capacity() < buffer_limit) buffer_.reserve(buffer_limit);
    buffer_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_ += bytes.size();
    if (buffer_.size() >= buffer_limit) flush();
}

void WrittenFile::pad_to(std::uint64_t alignment) {
    static constexpr std::byte zeros[4096] = {};
    while (size_ % alignment != 0) {
        const std::uint64_t gap = alignment - size_ % alignment;
        write(std::span(zeros, std::min<std::uint64_t>(gap, sizeof zeros)));
    }
}

void WrittenFile::write_at(std::uint64_t offset, std::span<const std::byte> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(descriptor_, bytes.data() + done, bytes.size() - done,
                                         static_cast<off_t>(offset + done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            throw OutputError(shown_name_, std::strerror(written < 0 ? errno : ENOSPC));
        done += static_cast<std::size_t>(written);
    }
}

void WrittenFile::flush(bool durably) {
    const char* next = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor_, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            throw OutputError(shown_name_, std::strerror(written < 0 ? errno : ENOSPC));
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    // The system starts writing a replacing file out at once, so that little is left for
    // the sync before its rename.
    if (!temporary_path_.empty() && !buffer_.empty())
        sync_file_range(descriptor_, static_cast<off_t>(size_ - buffer_.size()),
                        static_cast<off_t>(buffer_.size()), SYNC_FILE_RANGE_WRITE);
    buffer_.clear();
    if (durably && fsync(descriptor_) != 0) throw OutputError(shown_name_, std::strerror(errno));
}

void WrittenFile::commit() {
    flush(true);
    if (std::rename(temporary_path_.c_str(), target_.c_str()) != 0)
        throw OutputError(shown_name_, std::strerror(errno));
    temporary_path_.clear();
    // The rename itself is made durable with the folder that holds the name.
    const int folder = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        ::close(folder);
    }
}

}  // namespace vorline
