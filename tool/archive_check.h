// Archive check: tells an input that is an archive this tool cannot read (zip, 7z, rar, tar).
#pragma once

#include <string_view>

namespace vorline {

// How many bytes from an input's start the check reads: up to tar's "ustar" at 257.
inline constexpr std::size_t archive_probe_size = 262;

// Why an input that begins with `first_bytes` (up to archive_probe_size of them) cannot be
// read, such as "a zip archive; unpack it first"; empty for anything else. Compressed
// files the tool decodes are not archives; a tar file inside one is not seen here.
std::string_view archive_reason(std::string_view first_bytes);

}  // namespace vorline
