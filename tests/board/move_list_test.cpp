#include <gtest/gtest.h>

#include "board/board_errors.h"
#include "board/move_list_stack.h"
#include "board_fixtures.h"

namespace {

Move labelled(std::uint32_t to, std::uint32_t xcode) {
    Move move(1, to, Move::normal_move, Piece::white_knight, 0);
    move.set_xcode(xcode);
    return move;
}

TEST(MoveList, EditingSelectionAndBuckets) {
    MoveList list;
    for (const auto& [to, xcode] : {std::pair{16u, 12u}, {17u, 2u}, {18u, 5u}, {19u, 2u}, {20u, 9u}})
        list.push(labelled(to, xcode));
    list.remove(labelled(20, 3));  // labels are ignored
    MoveList kept = list;
    const Move keep[] = {labelled(19, 0), labelled(16, 0)};
    kept.keep_only(std::begin(keep), std::end(keep));
    ASSERT_EQ(kept.count(), 2u);
    EXPECT_EQ(kept[0].to_index(), 16u);  // list order is kept
    std::vector<std::uint32_t> order;
    for (Move m = list.first_best(); list.selection_index() < list.count(); m = list.next_best())
        order.push_back(m.to_index());
    EXPECT_EQ(order, (std::vector<std::uint32_t>{17, 19, 18, 16}));  // ties keep the earlier move
    list.fill_buckets();
    EXPECT_EQ(list.bucket(2).size(), 2u);
    EXPECT_TRUE(list.bucket(0).empty());
}

TEST(MoveListStack, FramesShareOneArrayWithoutOverlap) {
    ChessPosition p(test_tables());
    p.set_start_position();
    MoveListStack stack;
    p.generate_legal_moves(stack);
    const Move first = stack.current()[0];
    p.make_move(first);
    stack.push_frame();
    EXPECT_TRUE(stack.current().empty());
    p.generate_legal_moves(stack);
    EXPECT_EQ(stack.current().count(), 20u);
    stack.pop_frame();
    EXPECT_EQ(stack.current()[0], first);  // the frame below is untouched
    EXPECT_THROW(stack.pop_frame(), TableError);
}

}  // namespace
