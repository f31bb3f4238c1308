// ByteSource: an input read once, front to back, in blocks (a file, a pipe, a decompressor).
#pragma once

#include <cstddef>
#include <stdexcept>

namespace vorline {

// The input could not be read to its end: a read error, or data that cannot be decoded
// (a corrupt or truncated compressed file). It is never taken for an end of input.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of one input. Sources can be stacked: a decompressor reads the file source
// beneath it and is read in turn by the game cutter or the EPD line reader.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Reads at most `size` bytes into `buffer` and returns how many; 0 only at the end of
    // the input. Throws InputError when the input cannot be read.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

}  // namespace vorline
