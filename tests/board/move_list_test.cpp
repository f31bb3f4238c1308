// MoveList editing, best-first selection, buckets, dump, and the stack of lists.
#include <gtest/gtest.h>

#include "board/move_list_stack.h"
#include "board_fixtures.h"

namespace {

Move labelled(std::uint32_t from, std::uint32_t to, std::uint32_t xcode) {
    Move move(from, to, Move::normal_move, Piece::white_knight, 0);
    move.set_xcode(xcode);
    return move;
}

TEST(MoveList, EditingKeepsOrder) {
    MoveList list;
    for (std::uint32_t to = 16; to < 21; ++to) list.push(labelled(1, to, 12));
    list.remove(labelled(1, 18, 3));  // xcode does not count
    ASSERT_EQ(list.count(), 4u);
    EXPECT_EQ(list[2].to_index(), 19u);
    EXPECT_EQ(list.last().to_index(), 20u);

    const Move set[] = {labelled(1, 20, 0), labelled(1, 16, 0), labelled(1, 20, 5)};
    list.keep_only(std::begin(set), std::end(set));
    ASSERT_EQ(list.count(), 3u);  // 16 once, 20 twice, in list order
    EXPECT_EQ(list[0].to_index(), 16u);
    EXPECT_EQ(list[1].to_index(), 20u);
    EXPECT_EQ(list[2].to_index(), 20u);

    const MoveList copy = list;
    EXPECT_TRUE(copy.owns_array());
    EXPECT_EQ(copy.count(), 3u);
    list.pop();
    EXPECT_EQ(copy.count(), 3u);
    list.reset();
    EXPECT_TRUE(list.empty());
}

TEST(MoveList, BestFirstSelectionAndBuckets) {
    MoveList list;
    list.push(labelled(1, 16, 12));
    list.push(labelled(1, 17, 2));
    list.push(labelled(1, 18, 5));
    list.push(labelled(1, 19, 2));
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

TEST(MoveList, DumpFramesEveryMove) {
    MoveList list;
    list.push(Move(squares::e2, squares::e4, Move::normal_move, Piece::white_pawn, 0));
    EXPECT_EQ(list.dump(), "{begin MoveList}\n  " + list[0].dump() + "{end MoveList}");
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
    EXPECT_EQ(stack.depth(), 1u);
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
