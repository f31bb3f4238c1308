// Node numbers at the end of their 32-bit range: an index numbered from just below 2^32
// takes every number up to the last one below root, spills when they run out, and answers
// and saves exactly as an index numbered from 0 with the same positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "checks/random_games.h"
#include "io/written_file.h"
#include "support/temp_dir.h"
#include "tool/index_file_writer.h"
#include "tool/index_merge.h"
#include "tool/index_spills.h"
#include "tool/indexing_pipeline.h"
#include "tool/opening_index.h"
#include "tool/opening_player.h"

namespace vorline {

namespace {

using Node = OpeningIndex::Node;
using Lines = std::vector<std::vector<OpeningStep>>;

constexpr std::uint64_t two_to_32 = std::uint64_t{1} << 32;
constexpr std::uint32_t depth = 12;

// The steps of random legal games of `depth` half moves, with the key of the initial position.
struct RandomLines {
    std::uint64_t root_key = 0;
    Lines lines;
};

RandomLines random_lines(int games, std::uint64_t seed) {
    const AttackTables tables;
    ChessPosition start(tables);
    start.set_start_position();
    RandomLines made{start.hash(), Lines(static_cast<std::size_t>(games))};
    RandomGames random(seed);
    OpeningPlayer player(tables);
    for (std::vector<OpeningStep>& line : made.lines) {
        std::string text;
        random.append_game(text, depth);
        player.play_game(text, depth, line);
    }
    return made;
}

IndexSummary summary_of(std::uint64_t root_key) {
    IndexSummary summary;
    summary.depth = depth;
    summary.root_key = root_key;
    summary.input_name = "random.pgn";
    return summary;
}

// The bytes of `index` saved as an index file.
std::string saved_bytes(const OpeningIndex& index, const TempDir& dir, const std::string& name) {
    WrittenFile file;
    EXPECT_TRUE(file.create_replacing(dir.file(name)));
    write_index_file(index, summary_of(index.root_key()), file);
    file.commit();
    return dir.read(name);
}

// Every node number the index has handed out, ascending.
std::vector<Node> nodes_of(const OpeningIndex& index) {
    std::vector<Node> nodes;
    index.for_each_position([&](std::uint64_t, Node node) { nodes.push_back(node); });
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

// The numbers run from the first node on without a gap, and none is root (whose + 1, the
// table's mark of an empty slot, would wrap to 0).
void expect_numbered_from_first(const OpeningIndex& index) {
    const std::vector<Node> nodes = nodes_of(index);
    ASSERT_EQ(nodes.size(), index.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        ASSERT_EQ(std::uint64_t{nodes[i]}, std::uint64_t{index.first_node()} + i);
    }
    if (!nodes.empty()) {
        EXPECT_LT(nodes.back(), OpeningIndex::root);
    }
    EXPECT_EQ(index.numbers_left(),
              std::uint64_t{OpeningIndex::root} - index.first_node() - index.size());
}

// The moves to each key, last first, as saved indexes keep them (the move's stored bits).
template <class Lookup>
std::vector<std::vector<std::uint32_t>> walks_back(const Lookup& lookup,
                                                   const std::vector<std::uint64_t>& keys) {
    std::vector<std::vector<std::uint32_t>> walks;
    std::vector<std::vector<std::uint32_t>> moves(OpeningIndex::batch_limit);
    bool found[OpeningIndex::batch_limit];
    for (std::size_t first = 0; first < keys.size(); first += OpeningIndex::batch_limit) {
        const auto batch = std::span(keys).subspan(first).first(
            std::min(keys.size() - first, OpeningIndex::batch_limit));
        lookup.walk_back_batch(batch, moves, found);
        for (std::size_t i = 0; i < batch.size(); ++i) {
            for (std::uint32_t& move : moves[i]) move &= stored_move_bits;
            walks.push_back(found[i] ? moves[i] : std::vector<std::uint32_t>{});
        }
    }
    return walks;
}

TEST(NodeNumbering, AnIndexNumberedUpToTheLastNumberSavesAsOneNumberedFromZero) {
    const RandomLines made = random_lines(40, 11);
    OpeningIndex from_zero(made.root_key);
    record_lines_in_order(from_zero, made.lines);
    const std::uint64_t count = from_zero.size();
    ASSERT_GT(count, 300u);
    TempDir dir;
    const std::string expected = saved_bytes(from_zero, dir, "zero.idx");

    // Numbers that cross from one chunk of nodes into the next, that start the last chunk,
    // and that end at the last number below root.
    for (const std::uint64_t first : {two_to_32 - (1 << 19) - 100, two_to_32 - (1 << 19),
                                      std::uint64_t{OpeningIndex::root} - count}) {
        SCOPED_TRACE(first);
        OpeningIndex near(made.root_key, static_cast<Node>(first));
        record_lines_in_order(near, made.lines);
        ASSERT_EQ(near.size(), count);
        expect_numbered_from_first(near);
        EXPECT_EQ(saved_bytes(near, dir, "near.idx"), expected);
    }
}

TEST(NodeNumbering, AnIndexWithNoNumbersLeftRefusesANewPositionAndStaysWhole) {
    const RandomLines made = random_lines(3, 12);
    OpeningIndex from_zero(made.root_key);
    record_lines_in_order(from_zero, std::span(made.lines).first(2));
    OpeningIndex full(made.root_key, static_cast<Node>(OpeningIndex::root - from_zero.size()));
    record_lines_in_order(full, std::span(made.lines).first(2));
    ASSERT_EQ(full.numbers_left(), 0u);
    EXPECT_EQ(nodes_of(full).back(), OpeningIndex::root - 1);
    // Positions held already are found again; the first new one is refused.
    full.record_line(made.lines[0]);
    EXPECT_THROW(full.record_line(made.lines[2]), std::length_error);
    EXPECT_EQ(full.size(), from_zero.size());
    std::vector<std::uint64_t> keys;
    for (const auto& line : std::span(made.lines).first(2))
        for (const OpeningStep& step : line) keys.push_back(step.key);
    EXPECT_EQ(walks_back(full, keys), walks_back(from_zero, keys));
    TempDir dir;
    EXPECT_EQ(saved_bytes(full, dir, "full.idx"), saved_bytes(from_zero, dir, "zero.idx"));
}

// The run's spill path with numbers from just below 2^32: more positions than the numbers
// left, so the index spills each time they run out and is numbered from there again.
TEST(NodeNumbering, SpillsWhenTheNumbersRunOutAndAnswersAsAnIndexFromZero) {
    const RandomLines made = random_lines(400, 13);
    constexpr Node first = static_cast<Node>(two_to_32 - 300);
    TempDir dir;
    IndexSpills spills(~std::uint64_t{0}, dir.path().string(), summary_of(made.root_key));
    ASSERT_GT(spills.limit(), two_to_32 / 2);  // the positions' limit is not what spills
    OpeningIndex near(made.root_key, first);
    OpeningIndex from_zero(made.root_key);
    RunCounters counters;
    constexpr std::size_t batch = 8;  // games of 12 half moves: fewer steps than numbers
    for (std::size_t at = 0; at < made.lines.size(); at += batch) {
        const auto lines = std::span(made.lines).subspan(at, batch);
        spills.make_room(near, lines, counters);
        record_lines_in_order(near, lines);
        record_lines_in_order(from_zero, lines);
        ASSERT_EQ(near.first_node(), first);
        expect_numbered_from_first(near);
    }
    spills.spill(near, counters);
    ASSERT_GT(from_zero.size(), 10 * std::uint64_t{OpeningIndex::root - first});
    EXPECT_GE(spills.files().files().size(), 10u);

    std::vector<std::uint64_t> keys = {made.root_key, 0, ~std::uint64_t{0}, 0x123456789ABCDEFull};
    for (const auto& line : made.lines)
        for (const OpeningStep& step : line) keys.push_back(step.key ^ (keys.size() % 7 == 0));
    const auto expected = walks_back(from_zero, keys);
    EXPECT_EQ(walks_back(spills.files(), keys), expected);

    // The spills merged into one file: the file of the index numbered from 0.
    std::vector<const IndexFile*> inputs;
    for (const auto& file : spills.files().files()) inputs.push_back(file.get());
    WrittenFile merged;
    ASSERT_TRUE(merged.create_replacing(dir.file("merged.idx")));
    merge_index_files(inputs, summary_of(made.root_key), false, dir.path().string(), merged);
    merged.finish_writing();
    merged.commit();
    EXPECT_EQ(dir.read("merged.idx"), saved_bytes(from_zero, dir, "zero.idx"));
}

}  // namespace

}  // namespace vorline
