// Compressed input: the source a file is read through, decoding it when it is compressed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_source.h"

namespace vorline {

enum class Compression { none, zstd, gzip, bzip2, xz };

// The longest magic number that tells a format: xz's six bytes.
inline constexpr std::size_t compression_magic_size = 6;

// The format whose magic number begins `first_bytes` (the first bytes of an input, as many
// as it has up to compression_magic_size); none for anything else, plain text included.
Compression compression_of(std::string_view first_bytes);
std::string_view compression_name(Compression format);

// The source to read `file` through: the file's own bytes when they are not compressed,
// the decoded text when they begin with the magic number of zstd, gzip, bzip2 or xz
// (concatenated frames, members or streams are read whole). The format is told at the
// first read; a plain file is then read straight from `file`, with no copy and no thread.
// A compressed one is decoded in a thread of its own, a few large blocks ahead of the
// reader. Corrupt or truncated compressed data throws InputError, naming `file_name`;
// errors of `file` itself pass through unchanged.
std::unique_ptr<ByteSource> open_decompressed(std::unique_ptr<ByteSource> file,
                                              std::string file_name);

}  // namespace vorline
