// CountedSource: a ByteSource that counts the bytes read through it, for the progress line.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "io/byte_source.h"

namespace vorline {

// Placed directly above the file's own source (below any decoder), it counts the file's
// bytes, which compare with the file's size. A decoder may read on its own thread, so the
// count is atomic; the progress line only needs a recent value.
class CountedSource : public ByteSource {
public:
    explicit CountedSource(std::unique_ptr<ByteSource> inner) : inner_(std::move(inner)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = inner_->read(buffer, size);
        bytes_.fetch_add(n, std::memory_order_relaxed);
        return n;
    }
    std::uint64_t bytes() const { return bytes_.load(std::memory_order_relaxed); }

private:
    std::unique_ptr<ByteSource> inner_;
    std::atomic<std::uint64_t> bytes_ = 0;
};

}  // namespace vorline
