// IndexFileWriter: an index file written block by block, keys first, then links.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/written_file.h"
#include "tool/index_file_format.h"
#include "tool/opening_index.h"
#include "tool/run_counters.h"

namespace vorline {

// What an index file says about the games behind it.
struct IndexSummary {
    std::uint32_t depth = 0;
    std::uint64_t root_key = 0;
    RunCounters games;  // the first phase's counts
    std::uint64_t input_bytes = 0;
    std::string input_name;
};

// Writes the parts of an index in order: every key (ascending), then every link in the
// same order, then finish(). Checksums are taken as the blocks go out.
class IndexFileWriter {
public:
    explicit IndexFileWriter(WrittenFile& file);

    void add_key(std::uint64_t key) {
        add(&key, 8);
        ++positions_;
    }
    void end_keys();
    void add_link(std::uint64_t parent_rank, std::uint32_t move) {
        add_link_value(link_value(parent_rank, move));
    }
    // A link as stored: the parent's rank above the move's 15 bits.
    static std::uint64_t link_value(std::uint64_t parent_rank, std::uint32_t move) {
        return parent_rank << 15 | (move & stored_move_bits);
    }
    void add_link_value(std::uint64_t value) { add(&value, index_link_size); }
    // Ends the links and writes the checksums and the header; the file is then complete.
    void finish(const IndexSummary& summary);

private:
    void add(const void* bytes, std::size_t length);
    void end_region(std::uint64_t region_end);
    void write_block();

    WrittenFile& file_;
    std::uint64_t positions_ = 0;
    IndexLayout layout_{};
    std::array<std::byte, index_block_size> block_{};
    std::size_t filled_ = 0;
    std::vector<std::uint64_t> checksums_;
};

// Writes `index` to `file` as an index file (the file is left to be committed). Checks for
// interruptions while it writes.
void write_index_file(const OpeningIndex& index, const IndexSummary& summary, WrittenFile& file);

}  // namespace vorline
