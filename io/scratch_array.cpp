#include "io/scratch_array.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "io/output_file.h"

namespace vorline {

ScratchArray::ScratchArray(const std::string& folder, std::size_t count,
                           const std::string& shown_name)
    : bytes_(count * sizeof(std::uint64_t)) {
    if (bytes_ == 0) return;
    std::string path = folder + "/vorline-scratch.XXXXXX";
    std::vector<char> pattern(path.begin(), path.end());
    pattern.push_back('\0');
    const int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0) throw OutputError(shown_name, std::strerror(errno));
    std::remove(pattern.data());
    if (const int error = posix_fallocate(descriptor, 0, static_cast<off_t>(bytes_))) {
        ::close(descriptor);
        throw OutputError(shown_name, std::strerror(error));
    }
    void* data = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    ::close(descriptor);  // the mapping keeps the file
    if (data == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<std::uint64_t*>(data);
}

ScratchArray::~ScratchArray() {
    if (data_ != nullptr) munmap(data_, bytes_);
}

}  // namespace vorline
