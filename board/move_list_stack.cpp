#include "board/move_list_stack.h"

#include <algorithm>

#include "board/board_errors.h"

namespace vorline {

// Every frame gets room for a full list, so no frame can run into the next.
MoveListStack::MoveListStack()
    : shared_(frame_count * MoveList::capacity), offsets_(frame_count, 0) {
    frames_.reserve(frame_count);
    for (std::size_t i = 0; i < frame_count; ++i) frames_.emplace_back(shared_.data());
}

void MoveListStack::push_frame() {
    if (depth_ + 1 >= frame_count) throw TableError("MoveListStack::push_frame() too deep");
    const std::size_t offset = offsets_[depth_] + frames_[depth_].count();
    ++depth_;
    offsets_[depth_] = offset;
    frames_[depth_].lend(shared_.data() + offset);
}

void MoveListStack::pop_frame() {
    if (depth_ == 0) throw TableError("MoveListStack::pop_frame() no frame to pop");
    --depth_;
}

bool MoveListStack::same_current_moves(const MoveListStack& other) const {
    const MoveList& a = current();
    const MoveList& b = other.current();
    return a.count() == b.count() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace vorline
