#include "io/file_source.h"

#include <fcntl.h>
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
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(descriptor);
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
        stop_if_interrupted();
    }
}

}  // namespace vorline
