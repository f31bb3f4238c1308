// IndexFileSet: saved indexes answered in order, as if their games were one file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "tool/index_file.h"

namespace vorline {

// Indexes read in order: a key's entry is the one in the first file that holds it, and a
// walk back looks each parent up again, first in the files before the one it came from.
// That is the index of the games behind the files read one after another.
class IndexFileSet {
public:
    static constexpr std::size_t batch_limit = 64;

    void add(std::unique_ptr<IndexFile> file);
    std::span<const std::unique_ptr<IndexFile>> files() const { return files_; }
    // Positions held by the files together, counting a position once per file that holds it.
    std::uint64_t positions() const { return positions_; }

    void prefetch(std::uint64_t key) const {
        if (!files_.empty()) files_.front()->prefetch(key);
    }
    void prefetch_node(std::uint64_t) const {}
    // As OpeningIndex::walk_back_batch: the moves from the initial position to each key, last
    // move first, and whether it is found. Throws IndexFileError on a fault found in a file.
    void walk_back_batch(std::span<const std::uint64_t> keys,
                         std::span<std::vector<std::uint32_t>> moves, std::span<bool> found) const;

private:
    bool walk_back(std::uint64_t key, std::vector<std::uint32_t>& moves) const;
    // The first of the first `count` files that holds `key`: its number and the key's rank.
    bool find_first(std::uint64_t key, std::size_t count, std::size_t& file,
                    std::uint64_t& rank) const;

    std::vector<std::unique_ptr<IndexFile>> files_;
    std::uint64_t positions_ = 0;
};

}  // namespace vorline
