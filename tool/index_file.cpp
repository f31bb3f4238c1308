#include "tool/index_file.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vorline {

namespace {

__extension__ typedef unsigned __int128 Wide;  // for the first guess

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

// Interpolation search: every probe guesses the rank from where the key lies between the
// bounds' keys, which for uniform keys leaves a few probes; after eight, halving bounds
// the cost on any keys. The last few keys are scanned.
constexpr std::uint64_t scanned = 8;

std::uint64_t IndexFile::next_probe(const Search& search) {
    const std::uint64_t width = search.high - search.low;
    if (search.probes >= 8) return search.low + width / 2;
    // Halved, the differences convert to double as signed numbers, which takes one
    // instruction; the share is the same.
    const double share = double(std::int64_t((search.key - search.low_key) >> 1)) /
                         (double(std::int64_t((search.high_key - search.low_key) >> 1)) + 1.0);
    const auto guess =
        static_cast<std::uint64_t>(std::int64_t(share * double(std::int64_t(width))));
    return search.low + std::min(guess, width - 1);
}

IndexFile::Search IndexFile::begin_search(std::uint64_t key) const {
    Search search{key, 0, size(), 0, ~std::uint64_t{0}, 0, 0};
    search.next = search.high - search.low > scanned ? next_probe(search) : 0;
    if (size() > 0) __builtin_prefetch(bytes_ + header_->keys_offset + search.next * 8);
    return search;
}

bool IndexFile::step(Search& search, std::uint64_t& rank) const {
    if (search.high - search.low <= scanned) {
        for (; search.low < search.high; ++search.low) {
            const std::uint64_t found = key(search.low);
            if (found >= search.key) {
                rank = found == search.key ? search.low : not_found;
                return true;
            }
        }
        rank = not_found;
        return true;
    }
    const std::uint64_t at = search.next;
    const std::uint64_t found = key(at);
    if (found == search.key) {
        rank = at;
        return true;
    }
    if (found < search.key) {
        search.low = at + 1;
        search.low_key = found;
    } else {
        search.high = at;
        search.high_key = found;
    }
    ++search.probes;
    search.next = search.high - search.low > scanned ? next_probe(search) : search.low;
    __builtin_prefetch(bytes_ + header_->keys_offset + search.next * 8);
    return false;
}

std::uint64_t IndexFile::find(std::uint64_t key) const {
    Search search = begin_search(key);
    std::uint64_t rank;
    while (!step(search, rank)) {
    }
    return rank;
}

}  // namespace vorline
