#include "io/file_paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace vorline {

std::string link_target(const std::string& name) {
    std::error_code error;
    if (!std::filesystem::is_symlink(name, error)) return name;
    const std::filesystem::path target = std::filesystem::canonical(name, error);
    return error ? name : target.string();
}

bool sync_folder_of(const std::string& path) noexcept {
    const std::string::size_type slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool synced = fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

}  // namespace vorline
