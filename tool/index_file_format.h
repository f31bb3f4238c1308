// Index file format: the layout of a saved opening index, shared by its writers and reader.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace vorline {

static_assert(std::endian::native == std::endian::little, "index files are little-endian");

// An index file, all numbers little-endian:
// - the header, one 4096-byte block (IndexHeader);
// - the keys: every position's 64-bit key, in ascending order, 8 bytes each;
// - the links: per key, in the same order, 7 bytes: the parent position's rank in the key
//   order (40 bits; root_rank for the initial position) and the move from it (its
//   from-square, to-square and kind, the low 15 bits of the move's word: all that the
//   answering needs to find the move among the legal ones);
// - the checksums: the XXH3-64 of every 4096-byte block of the keys and the links.
// The keys and the links are each padded with zero bytes to whole blocks (the links with
// at least one, so that 8 bytes can be read at every link).
inline constexpr std::uint32_t index_format_version = 1;
inline constexpr std::size_t index_block_size = 4096;
inline constexpr std::size_t index_link_size = 7;
inline constexpr std::uint64_t root_rank = (std::uint64_t{1} << 40) - 1;
inline constexpr std::uint64_t most_positions = root_rank;
inline constexpr std::uint32_t stored_move_bits = 0x7FFF;
inline constexpr char index_magic[8] = {'\x89', 'V', 'O', 'R', 'I', 'D', 'X', '\n'};

struct IndexHeader {
    char magic[8];
    std::uint32_t format_version;
    std::uint32_t depth;  // half moves of each game indexed
    std::uint64_t positions;
    std::uint64_t root_key;  // of the initial position
    // The summary of the run (or runs) that read the games.
    std::uint64_t games_read;
    std::uint64_t games_skipped_for_fen;
    std::uint64_t games_stopped_early;
    std::uint64_t input_bytes;  // the size of the games file (their sum for a merged index)
    std::uint64_t keys_offset;
    std::uint64_t links_offset;
    std::uint64_t checksums_offset;
    std::uint64_t file_size;
    std::uint64_t checksums_hash;  // XXH3-64 of the whole checksums block
    std::uint32_t block_size;
    std::uint32_t input_name_length;  // of the bytes held in input_name
    char input_name[3976];            // the games file's name as given (cut if longer)
    std::uint64_t header_hash;        // XXH3-64 of every byte before it
};
static_assert(sizeof(IndexHeader) == index_block_size);

// Where the parts of an index of `positions` positions lie.
struct IndexLayout {
    std::uint64_t keys_offset;
    std::uint64_t links_offset;
    std::uint64_t checksums_offset;
    std::uint64_t file_size;

    std::uint64_t blocks() const { return (checksums_offset - keys_offset) / index_block_size; }
    static IndexLayout of(std::uint64_t positions);
};

inline std::uint64_t round_up_to_block(std::uint64_t bytes) {
    return (bytes + index_block_size - 1) / index_block_size * index_block_size;
}

inline IndexLayout IndexLayout::of(std::uint64_t positions) {
    IndexLayout layout;
    layout.keys_offset = index_block_size;
    layout.links_offset = layout.keys_offset + round_up_to_block(positions * 8);
    layout.checksums_offset =
        layout.links_offset + round_up_to_block(positions * index_link_size + 1);
    layout.file_size = layout.checksums_offset + 8 * layout.blocks();
    return layout;
}

// XXH3-64 of the bytes.
std::uint64_t index_checksum(std::span<const std::byte> bytes);

// An index file that cannot be used: what is wrong is the message.
class IndexFileError : public std::runtime_error {
public:
    IndexFileError(const std::string& file_name, const std::string& reason)
        : std::runtime_error(reason), file_name_(file_name) {}
    const std::string& file_name() const { return file_name_; }

private:
    std::string file_name_;
};

}  // namespace vorline
