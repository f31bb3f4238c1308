// IndexFile: a saved opening index, memory-mapped, checked block by block as it is read.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "io/mapped_file.h"
#include "tool/index_file_format.h"

namespace vorline {

// An entry's link: the rank of its parent position in the same file (root_rank for the
// initial position) and the move's stored bits.
struct IndexLink {
    std::uint64_t parent;
    std::uint32_t move;
};

// A saved index opened for reading. Opening checks the header and the file's size only, so
// it costs the same for every size; every 4096-byte block of keys or links is checked
// against its checksum when it is first read, and verify_all() checks the rest. Every
// fault found throws IndexFileError.
class IndexFile {
public:
    static constexpr std::uint64_t not_found = ~std::uint64_t{0};

    // Maps and checks the named file (opens the file on `descriptor` when it is not -1).
    void open(const std::string& file_name, int descriptor = -1);

    const std::string& name() const { return name_; }
    const IndexHeader& header() const { return *header_; }
    std::uint64_t size() const { return header_->positions; }
    std::string input_name() const {
        return std::string(header_->input_name, header_->input_name_length);
    }

    // The rank of `key`, or not_found.
    std::uint64_t find(std::uint64_t key) const;
    // A search in progress, so that the searches of several keys can go in step, the
    // cache misses of each overlapping with the others' work: begin_search() asks for the
    // first key to be read, and each step() reads one and asks for the next, until it
    // returns true with the rank (or not_found) in `rank`.
    struct Search {
        std::uint64_t key;
        std::uint64_t low, high;          // the key's rank, if present, is in [low, high)
        std::uint64_t low_key, high_key;  // bounds of the keys there
        int probes;
        std::uint64_t next;  // the rank to read next, asked for already
    };
    Search begin_search(std::uint64_t key) const;
    bool step(Search& search, std::uint64_t& rank) const;
    void prefetch_link(std::uint64_t rank) const {
        __builtin_prefetch(bytes_ + header_->links_offset + rank * index_link_size);
    }
    std::uint64_t key(std::uint64_t rank) const {
        const std::uint64_t offset = header_->keys_offset + rank * 8;
        check_blocks(offset, 8);
        std::uint64_t value;
        std::memcpy(&value, bytes_ + offset, 8);
        return value;
    }
    IndexLink link(std::uint64_t rank) const {
        const std::uint64_t offset = header_->links_offset + rank * index_link_size;
        check_blocks(offset, 8);
        std::uint64_t value;
        std::memcpy(&value, bytes_ + offset, 8);
        return {(value >> 15) & root_rank, static_cast<std::uint32_t>(value) & stored_move_bits};
    }
    // Asks for the page where a search for `key` starts to be brought in.
    void prefetch(std::uint64_t key) const;

    // Checks the checksums themselves (what merging reads anyway).
    void verify_checksums() const;
    // Checks the checksums and every block of keys and links against its checksum.
    void verify_all() const;
    // Tells the system that the file will be read front to back.
    void expect_sequential() const { file_.expect_sequential(); }

    [[noreturn]] void fail(const std::string& reason) const { throw IndexFileError(name_, reason); }

private:
    void check_blocks(std::uint64_t offset, std::uint64_t length) const {
        const std::uint64_t first = (offset - header_->keys_offset) / index_block_size;
        const std::uint64_t last = (offset + length - 1 - header_->keys_offset) / index_block_size;
        for (std::uint64_t block = first; block <= last; ++block)
            if (!(verified_[block >> 6] >> (block & 63) & 1)) check_block(block);
    }
    void check_block(std::uint64_t block) const;
    std::uint64_t start_guess(std::uint64_t key) const;
    static std::uint64_t next_probe(const Search& search);

    std::string name_;
    MappedFile file_;
    const std::byte* bytes_ = nullptr;
    const IndexHeader* header_ = nullptr;
    mutable std::vector<std::uint64_t> verified_;  // one bit per block of keys and links
};

}  // namespace vorline
