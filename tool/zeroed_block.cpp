#include "tool/zeroed_block.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <utility>

namespace vorline {

namespace {

constexpr std::size_t huge_page = std::size_t{2} << 20;

}  // namespace

ZeroedBlock::ZeroedBlock(std::size_t bytes) : bytes_(bytes) {
    const bool huge = bytes % huge_page == 0;
    // A huge-page block is carved out of a mapping one huge page larger, so that it can
    // start on a 2 MiB boundary; the ends left over are given back at once.
    const std::size_t mapped = huge ? bytes + huge_page : bytes;
    void* map = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) throw std::bad_alloc();
    char* start = static_cast<char*>(map);
    if (huge) {
        const auto address = reinterpret_cast<std::uintptr_t>(start);
        char* aligned = start + ((huge_page - address % huge_page) % huge_page);
        if (aligned != start) munmap(start, std::size_t(aligned - start));
        if (const std::size_t tail = std::size_t(start + mapped - (aligned + bytes)))
            munmap(aligned + bytes, tail);
        start = aligned;
        madvise(start, bytes, MADV_HUGEPAGE);  // advice only: without it, plain pages serve
    }
    data_ = start;
}

void ZeroedBlock::release(std::size_t offset, std::size_t bytes) {
    madvise(static_cast<char*>(data_) + offset, bytes, MADV_DONTNEED);
}

ZeroedBlock& ZeroedBlock::operator=(ZeroedBlock&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(bytes_, other.bytes_);
    return *this;
}

ZeroedBlock::~ZeroedBlock() {
    if (data_) munmap(data_, bytes_);
}

}  // namespace vorline
