#include "pgn/move_numbering.h"

namespace vorline {

void MoveNumbering::number(GameLines& lines, std::size_t line, std::uint32_t white,
                           std::uint32_t number, std::uint32_t start_white,
                           std::uint32_t start_number) {
    if (line >= lines.size() || lines[line].empty()) return;
    stack_.clear();
    stack_.push_back({line, 0, white, number, start_white, start_number});
    while (!stack_.empty()) {
        Frame& frame = stack_.back();
        GameLine& nodes = lines[frame.line];
        if (frame.index == nodes.size()) {
            stack_.pop_back();
            continue;
        }
        GameNode& node = nodes[frame.index++];
        if (node.kind == NodeKind::move) {
            node.white = frame.white;
            node.move_number = frame.number;
            frame.last_white = frame.white;
            frame.last_number = frame.number;
            if (frame.white == 1) {
                frame.white = 0;
            } else {
                frame.white = 1;
                ++frame.number;
            }
        } else if (node.kind == NodeKind::variation) {
            const auto target = referred_line(node.text);
            if (target && *target > frame.line && *target < lines.size() &&
                !lines[*target].empty()) {
                const Frame next{*target,           0,           frame.last_white,
                                 frame.last_number, start_white, start_number};
                stack_.push_back(next);  // `frame` is not used after this
            }
        }
    }
}

}  // namespace vorline
