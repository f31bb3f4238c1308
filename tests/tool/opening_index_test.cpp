// The opening index against a plain map, over enough lines to grow its table many times,
// with keys that share their high or their low halves (the halves are kept apart).
#include "tool/opening_index.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vorline {

namespace {

// Records `games` random lines, with the table first sized for `reserved` positions, and
// checks every key's walk back against the first link recorded for it.
void check_walks_back(int games, std::size_t reserved) {
    constexpr std::uint64_t root_key = 0x0123456789ABCDEFull;
    OpeningIndex index(root_key);
    index.reserve(reserved);
    std::unordered_map<std::uint64_t, std::pair<std::uint64_t, std::uint32_t>> links;
    std::mt19937_64 random(7);
    // The n-th key of a line has one of 64 high halves of its own and one of 200,000 low
    // halves shared by all (now and then it is the root key): most keys share a half with
    // many others, and every chain back is as short as its line.
    const auto pick_key = [&random](std::uint32_t n) {
        if (random() % 500 == 0) return root_key;
        // High halves spread over all values, as the table's slots are chosen by the
        // highest bits.
        const std::uint64_t high = std::uint32_t(n * 64 + random() % 64) * 0x9E3779B1u;
        return high << 32 | random() % 200000;
    };
    std::vector<OpeningStep> line;
    for (int game = 0; game < games; ++game) {
        line.clear();
        std::uint64_t parent = root_key;
        for (std::uint32_t move = 0, length = random() % 30; move < length; ++move) {
            const std::uint64_t key = pick_key(move);
            line.push_back({key, move});
            links.try_emplace(key, parent, move);  // the first link wins
            parent = key;
        }
        index.record_line(line);
        if (game == 100) index.reserve(std::size_t{1} << 22);  // too late: ignored
    }
    ASSERT_EQ(index.size(), links.size());

    std::vector<std::uint64_t> keys;
    for (const auto& [key, link] : links) keys.push_back(key);
    keys.push_back(0xFFFFFFFF00000000ull);  // in no line
    std::vector<std::vector<std::uint32_t>> moves(OpeningIndex::batch_limit);
    bool found[OpeningIndex::batch_limit];
    for (std::size_t first = 0; first < keys.size(); first += OpeningIndex::batch_limit) {
        const auto batch = std::span(keys).subspan(first).first(
            std::min(keys.size() - first, OpeningIndex::batch_limit));
        index.walk_back_batch(batch, moves, found);
        for (std::size_t i = 0; i < batch.size(); ++i) {
            std::vector<std::uint32_t> expected;
            for (auto at = links.find(batch[i]); at != links.end();
                 at = links.find(at->second.first)) {
                expected.push_back(at->second.second);
                if (at->second.first == root_key) break;
            }
            EXPECT_EQ(found[i], !expected.empty()) << batch[i];
            EXPECT_EQ(moves[i], expected) << batch[i];
        }
    }
}

}  // namespace

TEST(OpeningIndex, WalksBackTheFirstLinkOfEveryKeyAcrossGrowth) { check_walks_back(20000, 0); }

// A table sized up front, smaller than the index will be (so it still grows) or larger.
TEST(OpeningIndex, WalksBackTheSameFromATableSizedUpFront) {
    check_walks_back(4000, 20000);
    check_walks_back(4000, 1000000);
}

}  // namespace vorline
