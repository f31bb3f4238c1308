#include "tool/index_file_set.h"

#include <algorithm>
#include <utility>

namespace vorline {

void IndexFileSet::add(std::unique_ptr<IndexFile> file) {
    positions_ += file->size();
    files_.push_back(std::move(file));
}

bool IndexFileSet::find_first(std::uint64_t key, std::size_t count, std::size_t& file,
                              std::uint64_t& rank) const {
    for (std::size_t i = 0; i < count; ++i) {
        if (const std::uint64_t at = files_[i]->find(key); at != IndexFile::not_found) {
            file = i;
            rank = at;
            return true;
        }
    }
    return false;
}

bool IndexFileSet::walk_back(std::uint64_t key, std::vector<std::uint32_t>& moves) const {
    moves.clear();
    std::size_t file = 0;
    std::uint64_t rank = 0;
    if (!find_first(key, files_.size(), file, rank)) return false;
    // Every step leads to a position entered earlier (in the same file, or in one before
    // it), so a sound walk is never longer than the positions there are.
    for (;;) {
        const IndexFile& at = *files_[file];
        const IndexLink link = at.link(rank);
        moves.push_back(link.move);
        if (link.parent == root_rank) return true;
        if (link.parent >= at.size() || moves.size() > positions_)
            at.fail("corrupted (a link that leads nowhere)");
        rank = link.parent;
        if (file > 0) find_first(at.key(rank), file, file, rank);
    }
}

void IndexFileSet::walk_back_batch(std::span<const std::uint64_t> keys,
                                   std::span<std::vector<std::uint32_t>> moves,
                                   std::span<bool> found) const {
    const std::size_t count = std::min(keys.size(), batch_limit);
    for (std::size_t i = 0; i < count; ++i) found[i] = walk_back(keys[i], moves[i]);
}

}  // namespace vorline
