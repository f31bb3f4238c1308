// MoveListStack: one MoveList frame per search ply, all sharing one array of moves.
#pragma once

#include <cstddef>
#include <vector>

#include "board/move_list.h"

namespace vorline {

// Pushing a frame lends it the part of the shared array after the moves of the frame
// below; popping returns to the frame below. Allocates only when made.
class MoveListStack {
public:
    static constexpr std::size_t frame_count = 102;

    MoveListStack();
    MoveListStack(const MoveListStack&) = delete;
    MoveListStack& operator=(const MoveListStack&) = delete;

    MoveList& current() { return frames_[depth_]; }
    const MoveList& current() const { return frames_[depth_]; }
    std::size_t depth() const { return depth_; }

    // Throws TableError beyond the last frame or below the first.
    void push_frame();
    void pop_frame();

    // True when the current frames hold equal moves (low 24 bits) in the same order.
    bool same_current_moves(const MoveListStack& other) const;

private:
    std::vector<Move> shared_;
    std::vector<MoveList> frames_;
    std::vector<std::size_t> offsets_;
    std::size_t depth_ = 0;
};

}  // namespace vorline
