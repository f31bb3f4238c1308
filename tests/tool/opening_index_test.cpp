#include "tool/opening_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::uint64_t start = 0x463B96181691FC9CULL;
using Moves = std::vector<std::uint32_t>;

// Many keys, including ones that share their low bits or their high half, against a
// plain map, across several growths of the table.
TEST(OpeningIndex, AgreesWithAPlainMapThroughGrowth) {
    OpeningIndex index(start);
    std::unordered_map<std::uint64_t, IndexEntry> expected;
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> keys{start};
    for (int i = 0; i < 200000; ++i) {
        std::uint64_t key = random();
        if (i % 7 == 0) key = (key & 0xFFFFFFFF00000000ULL) | 0x1234;          // same slot run
        if (i % 11 == 0) key = (key & 0xFFFFFFFFULL) | 0xABCD000000000000ULL;  // same tag
        const std::uint64_t parent = keys[random() % keys.size()];
        ASSERT_TRUE(index.insert(key, parent, std::uint32_t(i)));
        if (key != start && expected.emplace(key, IndexEntry{parent, std::uint32_t(i)}).second)
            keys.push_back(key);
    }
    EXPECT_EQ(index.size(), expected.size());
    for (const auto& [key, entry] : expected) {
        const auto found = index.find(key);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->parent, entry.parent);
        EXPECT_EQ(found->move, entry.move);
    }
    for (int i = 0; i < 10000; ++i) {
        const std::uint64_t key = random();
        EXPECT_EQ(index.contains(key), expected.count(key) == 1);
    }
    // Walking back a batch of keys, present or not, in step gives what each walk gives.
    std::vector<std::uint64_t> batch;
    for (std::size_t i = 0; i < OpeningIndex::batch_limit; ++i)
        batch.push_back(i % 3 == 0 ? random() : keys[random() % keys.size()]);
    std::vector<Moves> walked(batch.size());
    bool found[OpeningIndex::batch_limit];
    index.walk_back_batch(batch, walked, found);
    for (std::size_t i = 0; i < batch.size(); ++i) {
        Moves moves;
        EXPECT_EQ(found[i], index.walk_back(batch[i], moves));
        EXPECT_EQ(walked[i], moves);
    }
    // Compact: 16-byte nodes and a table of 8-byte slots at most three quarters full.
    EXPECT_LT(index.memory_bytes(), 48 * index.size());
}

}  // namespace
