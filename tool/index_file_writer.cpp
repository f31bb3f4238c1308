#include "tool/index_file_writer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "tool/interruption.h"

namespace vorline {

IndexFileWriter::IndexFileWriter(WrittenFile& file) : file_(file) {
    // The header's place; it is written last, so that a file cut short never has one.
    static constexpr std::array<std::byte, index_block_size> zeros{};
    file_.write(zeros);
}

void IndexFileWriter::add(const void* bytes, std::size_t length) {
    const auto* from = static_cast<const std::byte*>(bytes);
    const std::size_t first = std::min(length, block_.size() - filled_);
    std::memcpy(block_.data() + filled_, from, first);
    filled_ += first;
    if (filled_ < block_.size()) return;
    write_block();
    std::memcpy(block_.data(), from + first, length - first);
    filled_ = length - first;
}

void IndexFileWriter::write_block() {
    stop_if_interrupted();
    checksums_.push_back(index_checksum(block_));
    file_.write(block_);
    filled_ = 0;
}

void IndexFileWriter::end_region(std::uint64_t region_end) {
    while (file_.size() + filled_ < region_end) {
        std::memset(block_.data() + filled_, 0, block_.size() - filled_);
        filled_ = block_.size();
        write_block();
    }
}

void IndexFileWriter::end_keys() {
    if (positions_ > most_positions) throw std::length_error("index file: too many positions");
    layout_ = IndexLayout::of(positions_);
    end_region(layout_.links_offset);
}

void IndexFileWriter::finish(const IndexSummary& summary) {
    end_region(layout_.checksums_offset);
    const std::span<const std::byte> checksums = std::as_bytes(std::span(checksums_));
    file_.write(checksums);
    IndexHeader header{};
    std::memcpy(header.magic, index_magic, sizeof(index_magic));
    header.format_version = index_format_version;
    header.depth = summary.depth;
    header.positions = positions_;
    header.root_key = summary.root_key;
    header.games_read = summary.games.games_read;
    header.games_skipped_for_fen = summary.games.games_skipped_for_fen;
    header.games_stopped_early = summary.games.games_stopped_early;
    header.input_bytes = summary.input_bytes;
    header.keys_offset = layout_.keys_offset;
    header.links_offset = layout_.links_offset;
    header.checksums_offset = layout_.checksums_offset;
    header.file_size = layout_.file_size;
    header.checksums_hash = index_checksum(checksums);
    header.block_size = index_block_size;
    header.input_name_length =
        static_cast<std::uint32_t>(std::min(summary.input_name.size(), sizeof(header.input_name)));
    std::memcpy(header.input_name, summary.input_name.data(), header.input_name_length);
    header.header_hash = index_checksum(
        std::span(reinterpret_cast<const std::byte*>(&header), offsetof(IndexHeader, header_hash)));
    file_.flush();
    stop_if_interrupted();  // the last point before the file is complete
    file_.write_at(0, std::as_bytes(std::span(&header, 1)));
}

void write_index_file(const OpeningIndex& index, const IndexSummary& summary, WrittenFile& file) {
    // The positions in key order, and each node's rank in it for the parents.
    struct Entry {
        std::uint64_t key;
        OpeningIndex::Node node;
    };
    std::vector<Entry> entries;
    entries.reserve(index.size());
    index.for_each_position([&](std::uint64_t key, OpeningIndex::Node node) {
        entries.push_back({key, node});
    });
    // The table's order is the keys' order but within probe runs, where a key may follow
    // a few greater ones: insertion moves each key only a few places.
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const Entry entry = entries[i];
        std::size_t j = i;
        for (; j > 0 && entries[j - 1].key > entry.key; --j) entries[j] = entries[j - 1];
        entries[j] = entry;
    }
    constexpr std::size_t check_period = std::size_t{1} << 20;
    IndexFileWriter writer(file);
    for (std::size_t rank = 0; rank < entries.size(); ++rank) {
        if ((rank & (check_period - 1)) == 0) stop_if_interrupted();
        writer.add_key(entries[rank].key);
    }
    writer.end_keys();

    // The links are made in node order, where a node's parent is most often the node just
    // before it, and put in their places in key order: random writes, which do not hold the
    // processor up as random reads would. The entries' memory goes first. The nodes are
    // numbered from the index's first node on; rank_of counts them from there. Ranks fit
    // the node numbers' 32 bits, as the positions do.
    const std::size_t count = entries.size();
    const OpeningIndex::Node first = index.first_node();
    std::vector<OpeningIndex::Node> rank_of(count);
    for (std::size_t rank = 0; rank < count; ++rank)
        rank_of[entries[rank].node - first] = static_cast<OpeningIndex::Node>(rank);
    std::vector<Entry>().swap(entries);
    const auto links = std::make_unique_for_overwrite<std::uint64_t[]>(count);
    for (std::size_t i = 0; i < count; ++i) {
        if ((i & (check_period - 1)) == 0) stop_if_interrupted();
        const OpeningIndex::NodeLink link = index.link(static_cast<OpeningIndex::Node>(first + i));
        const std::uint64_t parent =
            link.parent == OpeningIndex::root ? root_rank : rank_of[link.parent - first];
        links[rank_of[i]] = IndexFileWriter::link_value(parent, link.move);
    }
    for (std::size_t rank = 0; rank < count; ++rank) {
        if ((rank & (check_period - 1)) == 0) stop_if_interrupted();
        writer.add_link_value(links[rank]);
    }
    writer.finish(summary);
}

}  // namespace vorline
