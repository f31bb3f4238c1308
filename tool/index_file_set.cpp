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
    if (files_.size() != 1) {
        for (std::size_t i = 0; i < count; ++i) found[i] = walk_back(keys[i], moves[i]);
        return;
    }
    // One file: the searches, then the walks, go in step, one probe or one link of each
    // key per round, so that their cache misses overlap. A key leaves the rounds when it
    // is done: most keys of a batch are not found, and the walks are of uneven lengths.
    const IndexFile& file = *files_.front();
    IndexFile::Search searches[batch_limit];
    std::uint64_t at[batch_limit];
    static_assert(batch_limit <= 256);
    std::uint8_t active[batch_limit];  // the keys still searched for, or walked back from
    std::size_t live = 0;
    for (std::size_t i = 0; i < count; ++i) {
        searches[i] = file.begin_search(keys[i]);
        active[live++] = static_cast<std::uint8_t>(i);
    }
    while (live > 0) {
        std::size_t kept = 0;
        for (std::size_t j = 0; j < live; ++j)
            if (const std::uint8_t i = active[j]; !file.step(searches[i], at[i]))
                active[kept++] = i;
        live = kept;
    }
    for (std::size_t i = 0; i < count; ++i) {
        moves[i].clear();
        found[i] = at[i] != IndexFile::not_found;
        if (found[i]) active[live++] = static_cast<std::uint8_t>(i);
    }
    while (live > 0) {
        std::size_t kept = 0;
        for (std::size_t j = 0; j < live; ++j) {
            const std::uint8_t i = active[j];
            const IndexLink link = file.link(at[i]);
            moves[i].push_back(link.move);
            if (link.parent == root_rank) continue;
            if (link.parent >= file.size() || moves[i].size() > positions_)
                file.fail("corrupted (a link that leads nowhere)");
            at[i] = link.parent;
            file.prefetch_link(at[i]);
            active[kept++] = i;
        }
        live = kept;
    }
}

}  // namespace vorline
