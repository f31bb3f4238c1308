// RunInput: an input file of a run, opened by its check and read through its decoder.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "io/byte_source.h"
#include "io/compressed_input.h"
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
    // Told from a regular file's first bytes at the check; none for a pipe or a device,
    // whose bytes are read only once, by the run.
    std::optional<Compression> compression;
    std::string failure_reason;  // why the check failed

    // Opens the named file; false when it cannot be read (or is a folder) or is an archive
    // the tool cannot read, with the reason in failure_reason.
    bool open(std::string_view file_name);
};

}  // namespace vorline
