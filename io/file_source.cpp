#include "io/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vorline {

std::unique_ptr<FileSource> FileSource::open(const std::string& file_name) {
    int descriptor;
    do descriptor = ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC);
    while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0) return nullptr;
    struct stat status;
    const bool described = fstat(descriptor, &status) == 0;
    if (!described || S_ISDIR(status.st_mode)) {
        // errno tells the caller why: a folder is not an input.
        const int reason = described ? EISDIR : errno;
        ::close(descriptor);
        errno = reason;
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(descriptor, file_name));
}

FileSource::~FileSource() { ::close(descriptor_); }

std::size_t FileSource::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer, size);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) throw InputError(name_ + ": " + std::strerror(errno));
    }
}

}  // namespace vorline
