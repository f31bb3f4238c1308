// MappedFile: a whole file mapped read-only into memory, read on demand by the system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vorline {

// A read-only view of a file's bytes as they are when it is mapped. Mapping costs the
// same for every size: the system reads the pages as they are first touched.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the named regular file; false when it cannot be opened, is not a regular file
    // or cannot be mapped.
    bool open(const std::string& file_name);
    // Maps the file open on `descriptor` (kept open by the caller).
    bool map(int descriptor);

    std::span<const std::byte> bytes() const { return {data_, size_}; }
    std::size_t size() const { return size_; }
    // Tells the system that the pages will be read front to back (merging, spills).
    void expect_sequential() const;

private:
    void unmap() noexcept;

    const std::byte* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace vorline
