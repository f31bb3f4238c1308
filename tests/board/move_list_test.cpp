#include <gtest/gtest.h>

#include "board/board_errors.h"
#include "board/move_list_stack.h"
#include "board_fixtures.h"

namespace {

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
