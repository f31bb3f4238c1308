#include <algorithm>
#include <utility>

#include "pgn/game.h"
#include "pgn/roster_tags.h"

namespace vorline {

// Keeps the first `half_moves` move nodes of the main line, in order, then a "*" node.
void Game::close_main_line(std::uint32_t half_moves) {
    GameLine& main_line = lines_[0];
    std::size_t kept = 0;
    for (std::size_t i = 0; i < main_line.size() && kept < half_moves; ++i) {
        if (main_line[i].kind != NodeKind::move) continue;
        if (i != kept) std::swap(main_line[kept], main_line[i]);
        ++kept;
    }
    main_line.truncate(kept);
    append_node(main_line, NodeKind::result, "*");
}

void Game::reset_to_roster_tags() {
    tags_.clear();
    for (const auto& [name, value] : roster_tags) tags_.set(name, value);
    if (tag_order_.size() > 7) tag_order_.truncate(7);
    assign_text(result_, "*");
}

void Game::keep_opening(std::uint32_t half_moves) {
    lines_.truncate(1);
    close_main_line(half_moves);
    reset_to_roster_tags();
}

}  // namespace vorline
