#include "tool/index_file.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vorline {

namespace {

__extension__ typedef unsigned __int128 Wide;

}  // namespace

void IndexFile::open(const std::string& file_name, int descriptor) {
    name_ = file_name;
    const bool mapped = descriptor >= 0 ? file_.map(descriptor) : file_.open(file_name);
    if (!mapped) fail("cannot be read");
    bytes_ = file_.bytes().data();
    const std::uint64_t size = file_.size();
    if (size < sizeof(index_magic) || std::memcmp(bytes_, index_magic, sizeof(index_magic)) != 0)
        fail("not an index file of vorline");
    if (size < sizeof(IndexHeader)) fail("truncated");
    header_ = reinterpret_cast<const IndexHeader*>(bytes_);
    if (header_->format_version > index_format_version)
        fail("made by a newer version of vorline (index format " +
             std::to_string(header_->format_version) + ")");
    const std::span<const std::byte> hashed(bytes_, offsetof(IndexHeader, header_hash));
    if (index_checksum(hashed) != header_->header_hash ||
        header_->format_version != index_format_version)
        fail("corrupted (its header)");
    const IndexLayout layout = IndexLayout::of(header_->positions);
    if (header_->positions > most_positions || header_->block_size != index_block_size ||
        header_->keys_offset != layout.keys_offset ||
        header_->links_offset != layout.links_offset ||
        header_->checksums_offset != layout.checksums_offset ||
        header_->file_size != layout.file_size ||
        header_->input_name_length > sizeof(header_->input_name))
        fail("corrupted (its header)");
    if (size < header_->file_size) fail("truncated");
    if (size > header_->file_size) fail("corrupted (bytes beyond its end)");
    verified_.assign((layout.blocks() + 63) / 64, 0);
}

void IndexFile::check_block(std::uint64_t block) const {
    const std::uint64_t offset = header_->keys_offset + block * index_block_size;
    std::uint64_t expected;
    std::memcpy(&expected, bytes_ + header_->checksums_offset + block * 8, 8);
    if (index_checksum(std::span(bytes_ + offset, index_block_size)) != expected)
        fail(std::string("corrupted (the ") + (offset < header_->links_offset ? "keys" : "links") +
             " block at byte " + std::to_string(offset) + ")");
    verified_[block >> 6] |= std::uint64_t{1} << (block & 63);
}

void IndexFile::verify_checksums() const {
    const std::uint64_t blocks = IndexLayout::of(size()).blocks();
    const std::span<const std::byte> checksums(bytes_ + header_->checksums_offset, blocks * 8);
    if (index_checksum(checksums) != header_->checksums_hash)
        fail("corrupted (the checksums block)");
}

std::uint64_t IndexFile::start_guess(std::uint64_t key) const {
    // Keys are uniform 64-bit hashes: a key's rank is about its share of the key range.
    return static_cast<std::uint64_t>((static_cast<Wide>(key) * size()) >> 64);
}

void IndexFile::prefetch(std::uint64_t key) const {
    if (size() == 0) return;
    __builtin_prefetch(bytes_ + header_->keys_offset + start_guess(key) * 8);
}

std::uint64_t IndexFile::find(std::uint64_t key) const {
    // Interpolation search: every probe guesses the rank from where the key lies between
    // the bounds' keys, which for uniform keys leaves a few probes; after eight, halving
    // bounds the cost on any keys. The last few keys are scanned.
    std::uint64_t low = 0, high = size();  // the key's rank, if present, is in [low, high)
    std::uint64_t low_key = 0, high_key = ~std::uint64_t{0};  // bounds of the keys there
    for (int probes = 0; high - low > 8; ++probes) {
        const std::uint64_t at =
            probes < 8
                ? low + static_cast<std::uint64_t>(static_cast<Wide>(key - low_key) * (high - low) /
                                                   (static_cast<Wide>(high_key - low_key) + 1))
                : low + (high - low) / 2;
        const std::uint64_t found = this->key(at);
        if (found == key) return at;
        if (found < key) {
            low = at + 1;
            low_key = found;
        } else {
            high = at;
            high_key = found;
        }
    }
    for (; low < high; ++low) {
        const std::uint64_t found = this->key(low);
        if (found >= key) return found == key ? low : not_found;
    }
    return not_found;
}

}  // namespace vorline
