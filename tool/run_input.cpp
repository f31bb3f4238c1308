#include "tool/run_input.h"

#include <sys/stat.h>

#include <utility>

#include "io/compressed_input.h"
#include "io/file_source.h"

namespace vorline {

namespace {

// The size of the regular file open on `descriptor`, for the share read; none for a pipe
// or a device.
std::optional<std::uint64_t> regular_file_size(int descriptor) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

bool RunInput::open(std::string_view file_name) {
    name = file_name;
    std::unique_ptr<FileSource> file = FileSource::open(name);
    if (!file) return false;
    identity = FileIdentity::of(file->descriptor());
    file_size = regular_file_size(file->descriptor());
    auto counted = std::make_unique<CountedSource>(std::move(file));
    file_bytes = counted.get();
    source = open_decompressed(std::move(counted), name);
    return true;
}

}  // namespace vorline
