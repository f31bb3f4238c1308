// ZeroedBlock: a large zero-filled block from the kernel, on huge pages where it allows.
#pragma once

#include <cstddef>

namespace vorline {

// Memory for the index's table and node chunks, which are written all over at random.
// Blocks of a multiple of 2 MiB are aligned to 2 MiB and asked for on huge pages, so that
// one page fault and one TLB entry cover 2 MiB instead of 4 KiB. The pages come zeroed
// from the kernel and are only counted in memory once touched. Throws std::bad_alloc.
class ZeroedBlock {
public:
    ZeroedBlock() = default;
    explicit ZeroedBlock(std::size_t bytes);
    ZeroedBlock(ZeroedBlock&& other) noexcept : data_(other.data_), bytes_(other.bytes_) {
        other.data_ = nullptr;
        other.bytes_ = 0;
    }
    ZeroedBlock& operator=(ZeroedBlock&& other) noexcept;
    ~ZeroedBlock();

    void* data() const { return data_; }
    // Gives the memory of [offset, offset + bytes) back to the system; it reads as zeros
    // after. Both must be multiples of the page size.
    void release(std::size_t offset, std::size_t bytes);
    std::size_t size() const { return bytes_; }

private:
    void* data_ = nullptr;
    std::size_t bytes_ = 0;
};

}  // namespace vorline
