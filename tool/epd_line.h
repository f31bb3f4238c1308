// EpdLineReader: the lines of an EPD input, read in blocks from its ByteSource.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_source.h"

namespace vorline {

// A line is the text up to its line feed; a carriage return directly before the line feed
// belongs to the break, and nothing else is removed. A last line without a line break
// counts as a line. A UTF-8 byte-order mark at the start of the input is removed.
class EpdLineReader {
public:
    explicit EpdLineReader(ByteSource& source, std::size_t buffer_size = std::size_t{1} << 16);

    // Sets `line` to the next line, valid until the next call; false when no line is left.
    // A line that lies within one block is not copied. Lets the source's InputError through.
    bool next(std::string_view& line);

private:
    bool refill();

    ByteSource& source_;
    std::size_t buffer_size_;
    std::unique_ptr<char[]> buffer_;
    const char* next_ = nullptr;  // unread part of the buffer: [next_, end_)
    const char* end_ = nullptr;
    bool exhausted_ = false;
    bool at_start_ = true;
    std::string long_line_;  // a line that spans blocks
};

}  // namespace vorline
