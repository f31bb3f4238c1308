#include "io/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vorline {

MappedFile::~MappedFile() { unmap(); }

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        unmap();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void MappedFile::unmap() noexcept {
    // An empty file is not mapped: data_ stays null.
    if (data_ != nullptr) munmap(const_cast<std::byte*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

bool MappedFile::open(const std::string& file_name) {
    const int descriptor = ::open(file_name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool mapped = map(descriptor);
    ::close(descriptor);  // the mapping keeps the file
    return mapped;
}

bool MappedFile::map(int descriptor) {
    unmap();
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size == 0) return true;
    void* data = mmap(nullptr, size, PROT_READ, MAP_SHARED, descriptor, 0);
    if (data == MAP_FAILED) return false;
    data_ = static_cast<const std::byte*>(data);
    size_ = size;
    return true;
}

void MappedFile::expect_sequential() const {
    if (data_ != nullptr) madvise(const_cast<std::byte*>(data_), size_, MADV_SEQUENTIAL);
}

}  // namespace vorline
