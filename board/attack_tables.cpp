#include "board/attack_tables.h"

namespace vorline {

namespace {

// Targets of the given (file, rank) steps from `square` that stay on the board.
Bitboard leaps(int square, const int (&steps)[8][2]) {
    Bitboard targets = 0;
    for (const auto& step : steps) {
        const int file = square % 8 + step[0], rank = square / 8 + step[1];
        if (file >= 0 && file < 8 && rank >= 0 && rank < 8)
            targets |= square_table[8 * rank + file];
    }
    return targets;
}

}  // namespace

AttackTables::AttackTables() {
    constexpr int knight_steps[8][2] = {{1, 2},   {2, 1},   {2, -1}, {1, -2},
                                        {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    constexpr int king_steps[8][2] = {{0, 1},  {1, 1},   {1, 0},  {1, -1},
                                      {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}};
    for (int s = 0; s < 64; ++s) {
        knight_[s] = leaps(s, knight_steps);
        king_[s] = leaps(s, king_steps);
    }
}

}  // namespace vorline
