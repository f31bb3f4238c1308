#include "tool/archive_check.h"

namespace vorline {

std::string_view archive_reason(std::string_view first_bytes) {
    using namespace std::string_view_literals;
    // A zip file starts with a local file header, or with the end record when empty.
    for (const std::string_view zip : {"PK\x03\x04"sv, "PK\x05\x06"sv, "PK\x07\x08"sv})
        if (first_bytes.starts_with(zip)) return "a zip archive; unpack it first";
    if (first_bytes.starts_with("7z\xBC\xAF\x27\x1C"sv)) return "a 7z archive; unpack it first";
    if (first_bytes.starts_with("Rar!\x1A\x07"sv)) return "a rar archive; unpack it first";
    if (first_bytes.size() >= 262 && first_bytes.substr(257, 5) == "ustar")
        return "a tar archive; unpack it first";
    return {};
}

}  // namespace vorline
