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
    // key per round, so that their cache misses overlap.
    const IndexFile& file = *files_.front();
    IndexFile::Search searches[batch_limit];
    std::uint64_t at[batch_limit];
    bool searching[batch_limit];
    for (std::size_t i = 0; i < count; ++i) {
        searches[i] = file.begin_search(keys[i]);
        searching[i] = true;
    }
    for (std::size_t left = count; left > 0;) {
        for (std::size_t i = 0; i < count; ++i)
            if (searching[i] && file.step(searches[i], at[i])) {
                searching[i] = false;
                --left;
            }
    }
    std::size_t walking = 0;
    for (std::size_t i = 0; i < count; ++i) {
        moves[i].clear();
        found[i] = at[i] != IndexFile::not_found;
        walking += found[i];
    }
    while (walking > 0) {
        for (std::size_t i = 0; i < count; ++i) {
            if (at[i] == IndexFile::not_found) continue;
            const IndexLink link = file.link(at[i]);
            moves[i].push_back(link.move);
            if (link.parent == root_rank) {
                at[i] = IndexFile::not_found;
                --walking;
                continue;
            }
            if (link.parent >= file.size() || moves[i].size() > positions_)
                file.fail("corrupted (a link that leads nowhere)");
            at[i] = link.parent;
            file.prefetch_link(at[i]);
        }
    }
}

}  // namespace vorline
