#include "io/file_source.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "io/interruption_request.h"

namespace vorline {

std::unique_ptr<FileSource> FileSource::open(const std::string& file_name) {
    int descriptor;
    while ((descriptor = ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC)) < 0 && errno == EINTR)
        stop_if_interrupted();
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
    return std::unique_ptr<FileSource>(
        new FileSource(descriptor, file_name, !S_ISREG(status.st_mode)));
}

FileSource::~FileSource() { ::close(descriptor_); }

std::size_t FileSource::read(char* buffer, std::size_t size) {
    // A pipe or a device may stall: it is waited on in slices, so that a thread the signal
    // was not delivered to (the decoder's, oneTBB's) still ends with the first one.
    while (may_stall_) {
        pollfd ready{descriptor_, POLLIN, 0};
        const int count = poll(&ready, 1, stall_check_milliseconds);
        if (count > 0 || (count < 0 && errno != EINTR)) break;
        stop_if_interrupted();
    }
    for (;;) {
        const ssize_t count = ::read(descriptor_, buffer, size);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR) throw InputError(name_ + ": " + std::strerror(errno));
        stop_if_interrupted();
    }
}

}  // namespace vorline
