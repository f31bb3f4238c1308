#include "tool/run_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "io/file_source.h"
#include "tool/archive_check.h"

namespace vorline {

namespace {

// The size of the regular file open on `descriptor`, for the share read; none for a pipe
// or a device.
std::optional<std::uint64_t> regular_file_size(int descriptor) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

// The first bytes of a regular file, read without moving its offset (so that the run
// still reads it from the start); a short or failed read gives what it could.
std::string first_bytes(int descriptor, std::size_t count) {
    std::string bytes(count, '\0');
    std::size_t have = 0;
    while (have < count) {
        const ssize_t n = pread(descriptor, bytes.data() + have, count - have, off_t(have));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += std::size_t(n);
    }
    bytes.resize(have);
    return bytes;
}

}  // namespace

bool RunInput::open(std::string_view file_name) {
    name = file_name;
    source.reset();
    file_bytes = nullptr;
    compression.reset();
    std::unique_ptr<FileSource> file = FileSource::open(name);
    if (!file) {
        failure_reason = std::strerror(errno);
        return false;
    }
    identity = FileIdentity::of(file->descriptor());
    file_size = regular_file_size(file->descriptor());
    if (file_size) {
        const std::string first = first_bytes(file->descriptor(), archive_probe_size);
        if (const std::string_view reason = archive_reason(first); !reason.empty()) {
            failure_reason = reason;
            return false;
        }
        compression = compression_of(std::string_view(first).substr(0, compression_magic_size));
    }
    auto counted = std::make_unique<CountedSource>(std::move(file));
    file_bytes = counted.get();
    source = open_decompressed(std::move(counted), name);
    return true;
}

}  // namespace vorline
