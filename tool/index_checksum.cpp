#include <xxhash.h>

#include "tool/index_file_format.h"

namespace vorline {

std::uint64_t index_checksum(std::span<const std::byte> bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

}  // namespace vorline
