#include "tool/index_file.h"
#include "tool/interruption.h"

namespace vorline {

void IndexFile::verify_all() const {
    verify_checksums();
    expect_sequential();
    const std::uint64_t blocks = IndexLayout::of(size()).blocks();
    for (std::uint64_t block = 0; block < blocks; ++block) {
        // A check of a large file can take minutes: an interruption stops it.
        if ((block & 1023) == 0) stop_if_interrupted();
        if (!(verified_[block >> 6] >> (block & 63) & 1)) check_block(block);
    }
}

}  // namespace vorline
