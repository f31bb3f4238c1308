// RunInput: an input file of a run, opened by its check and read through its decoder.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "io/byte_source.h"
#include "io/counted_source.h"
#include "io/output_file.h"

namespace vorline {

// An input as its check opened it: the run reads this very stream, so a pipe, /dev/stdin
// or a process substitution is read once, as it comes. A compressed input is read through
// its decoder, told by its first bytes when the reading begins.
struct RunInput {
    std::string name;
    std::unique_ptr<ByteSource> source;
    FileIdentity identity;
    const CountedSource* file_bytes = nullptr;  // the bytes of the file itself, read so far
    std::optional<std::uint64_t> file_size;     // of a regular file

    // Opens the named file; false when it cannot be read (or is a folder).
    bool open(std::string_view file_name);
};

}  // namespace vorline
