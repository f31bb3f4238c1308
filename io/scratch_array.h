// ScratchArray: a large array of numbers kept in a file of its own that nobody else sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorline {

// An array of 64-bit numbers in a shared mapping of a file that is created in a folder and
// unlinked at once: the system writes its pages to the disk when memory runs short instead
// of failing, and nothing of it is left behind however the process ends. The file's room
// is taken up front, so that a full disk is an OutputError here and not a fault later.
class ScratchArray {
public:
    ScratchArray(const std::string& folder, std::size_t count, const std::string& shown_name);
    ~ScratchArray();
    ScratchArray(const ScratchArray&) = delete;
    ScratchArray& operator=(const ScratchArray&) = delete;

    std::uint64_t& operator[](std::size_t i) { return data_[i]; }
    std::uint64_t operator[](std::size_t i) const { return data_[i]; }

private:
    std::uint64_t* data_ = nullptr;
    std::size_t bytes_ = 0;
};

}  // namespace vorline
