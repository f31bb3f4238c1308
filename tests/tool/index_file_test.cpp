// The index file's reader and writer alone: lookups of keys anywhere in the 64-bit range,
// parent ranks beyond 32 bits, and the budget's bound on the positions held in memory.
#include "tool/index_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "io/written_file.h"
#include "support/temp_dir.h"
#include "tool/index_file_writer.h"
#include "tool/index_spills.h"

namespace vorline {

namespace {

constexpr std::uint64_t high = ~std::uint64_t{0};

// Writes an index of the keys (sorted here) whose links are given by `link_of(rank)`.
template <class LinkOf>
void write_index(const std::string& path, std::vector<std::uint64_t> keys, LinkOf link_of) {
    std::sort(keys.begin(), keys.end());
    WrittenFile file;
    ASSERT_TRUE(file.create_replacing(path));
    IndexFileWriter writer(file);
    for (const std::uint64_t key : keys) writer.add_key(key);
    writer.end_keys();
    for (std::uint64_t rank = 0; rank < keys.size(); ++rank) {
        const IndexLink link = link_of(rank);
        writer.add_link(link.parent, link.move);
    }
    IndexSummary summary;
    summary.depth = 24;
    writer.finish(summary);
    file.commit();
}

TEST(IndexFile, FindsEveryKeyFromEndToEndOfTheRange) {
    TempDir dir;
    std::mt19937_64 random(3);
    // Uniform keys, clusters, and the ends of the range, in sizes around a block's 512 keys.
    for (const std::size_t count : {0, 1, 2, 511, 512, 513, 20000}) {
        SCOPED_TRACE(count);
        std::vector<std::uint64_t> keys;
        for (const std::uint64_t edge :
             {std::uint64_t{0}, std::uint64_t{1}, high, high - 1, std::uint64_t{1} << 63})
            if (keys.size() < count) keys.push_back(edge);
        while (keys.size() < count)
            keys.push_back(keys.size() % 3 ? random() : (std::uint64_t{7} << 40) + keys.size());
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        write_index(dir.file("keys.idx"), keys, [](std::uint64_t rank) {
            return IndexLink{root_rank, static_cast<std::uint32_t>(rank & 0x7FFF)};
        });
        IndexFile file;
        file.open(dir.file("keys.idx"));
        ASSERT_EQ(file.size(), keys.size());
        for (std::uint64_t rank = 0; rank < keys.size(); ++rank) {
            ASSERT_EQ(file.find(keys[rank]), rank);
            EXPECT_EQ(file.link(rank).move, rank & 0x7FFF);
            for (const std::uint64_t near : {keys[rank] - 1, keys[rank] + 1}) {
                if (!std::binary_search(keys.begin(), keys.end(), near)) {
                    ASSERT_EQ(file.find(near), IndexFile::not_found);
                }
            }
        }
    }
}

TEST(IndexFile, ParentRanksHoldFortyBits) {
    TempDir dir;
    const std::vector<std::uint64_t> parents = {0,
                                                (std::uint64_t{1} << 32) - 1,
                                                std::uint64_t{1} << 32,
                                                (std::uint64_t{1} << 32) + 1,
                                                (std::uint64_t{1} << 32) + 5,
                                                most_positions - 1,
                                                root_rank};
    std::vector<std::uint64_t> keys;
    for (std::uint64_t i = 0; i < parents.size(); ++i) keys.push_back(i * 1000);
    write_index(dir.file("ranks.idx"), keys, [&](std::uint64_t rank) {
        return IndexLink{parents[rank], static_cast<std::uint32_t>(0x7FFF - rank)};
    });
    IndexFile file;
    file.open(dir.file("ranks.idx"));
    for (std::uint64_t rank = 0; rank < parents.size(); ++rank) {
        EXPECT_EQ(file.link(rank).parent, parents[rank]);
        EXPECT_EQ(file.link(rank).move, 0x7FFF - rank);
    }
}

TEST(IndexFile, TheBudgetBoundsThePositionsInMemory) {
    // However large the budget, node numbers stay below 2^32: the index spills first.
    EXPECT_EQ(positions_within(high), (std::uint64_t{1} << 32) - 2);
    EXPECT_EQ(positions_within(1), 1u);
    std::uint64_t last = 0;
    for (std::uint64_t budget = 1 << 20; budget < (std::uint64_t{1} << 36); budget *= 3) {
        const std::uint64_t held = positions_within(budget);
        EXPECT_GE(held, last);
        // 12 bytes of node, 20 to write it out, and the table's slots.
        EXPECT_LE(held * 32 + held * 8 * 4 / 3, budget + budget / 8) << budget;
        EXPECT_GE(held * 64, budget) << budget;
        last = held;
    }
}

}  // namespace

}  // namespace vorline
