// MoveList editing, best-first selection, buckets, and the stack of lists.
#include <gtest/gtest.h>

#include "board/move_list_stack.h"
#include "board_fixtures.h"

namespace {

Move labelled(std::uint32_t to, std::uint32_t xcode) {
    Move move(1, to, Move::normal_move, Piece::white_knight, 0);
    move.set_xcode(xcode);
    return move;
}

std::vector<std::uint32_t> targets(const MoveList& list) {
    std::vector<std::uint32_t> to;
    for (Move move : list) to.push_back(move.to_index());
    return to;
}

TEST(MoveList, EditingKeepsOrderAndIgnoresLabels) {
    MoveList list;
    for (std::uint32_t to = 16; to < 21; ++to) list.push(labelled(to, 12));
    list.remove(labelled(18, 3));
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{16, 17, 19, 20}));
    const Move set[] = {labelled(20, 0), labelled(16, 0), labelled(20, 5)};
    list.keep_only(std::begin(set), std::end(set));
    EXPECT_EQ(targets(list), (std::vector<std::uint32_t>{16, 20, 20}));  // list order, once per match
    const MoveList copy = list;  // a copy owns its moves
    list.pop();
    EXPECT_EQ(copy.count(), 3u);
}

TEST(MoveList, BestFirstSelectionAndBuckets) {
    MoveList list;
    for (const auto& [to, xcode] : {std::pair{16u, 12u}, {17u, 2u}, {18u, 5u}, {19u, 2u}}) list.push(labelled(to, xcode));
    std::vector<std::uint32_t> order;
    for (Move m = list.first_best(); list.selection_index() < list.count(); m = list.next_best())
        order.push_back(m.to_index());
    EXPECT_EQ(order, (std::vector<std::uint32_t>{17, 19, 18, 16}));  // ties keep the earlier move
    EXPECT_TRUE(list.next_best().is_empty());

    list.fill_buckets();
    EXPECT_EQ(list.bucket(2).size(), 2u);
    EXPECT_EQ(list.bucket(12).size(), 1u);
    EXPECT_TRUE(list.bucket(0).empty());
}

TEST(MoveListStack, FramesShareOneArrayWithoutOverlap) {
    ChessPosition p(test_tables());
    p.set_start_position();
    MoveListStack stack;
    p.generate_legal_moves(stack);
    ASSERT_EQ(stack.current().count(), 20u);
    const Move first = stack.current()[0];
    p.make_move(first);
    stack.push_frame();
    EXPECT_TRUE(stack.current().empty());
    p.generate_tactical_moves(stack);
    EXPECT_TRUE(stack.current().empty());  // no capture after 1.Na3
    p.generate_legal_moves(stack);
    EXPECT_EQ(stack.current().count(), 20u);
    stack.pop_frame();
    EXPECT_EQ(stack.current()[0], first);  // the frame below is untouched
    EXPECT_THROW(stack.pop_frame(), std::logic_error);

    MoveListStack other;
    p.unmake_move();
    p.generate_legal_moves(other);
    EXPECT_TRUE(stack.same_current_moves(other));
}

}  // namespace
