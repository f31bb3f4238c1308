#include "board/line_tables.h"

namespace vorline {

namespace {

// Squares reached from `square` stepping by (file_step, rank_step) until the edge.
Bitboard ray(int square, int file_step, int rank_step) {
    Bitboard squares = 0;
    for (int file = square % 8 + file_step, rank = square / 8 + rank_step;
         file >= 0 && file < 8 && rank >= 0 && rank < 8; file += file_step, rank += rank_step)
        squares |= square_table[8 * rank + file];
    return squares;
}

}  // namespace

LineTables::LineTables() {
    constexpr int directions[8][2] = {{0, 1}, {1, 0},  {0, -1}, {-1, 0},
                                      {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (int a = 0; a < 64; ++a) {
        for (int d = 0; d < 8; ++d) {
            const int fs = directions[d][0], rs = directions[d][1];
            (d < 4 ? rook_rays_[a] : bishop_rays_[a]) |= ray(a, fs, rs);
            // Walk outwards from a; everything passed before reaching b lies between them.
            Bitboard passed = 0;
            for (int file = a % 8 + fs, rank = a / 8 + rs;
                 file >= 0 && file < 8 && rank >= 0 && rank < 8; file += fs, rank += rs) {
                between_[a][8 * rank + file] = passed;
                passed |= square_table[8 * rank + file];
            }
        }
        queen_rays_[a] = rook_rays_[a] | bishop_rays_[a];
    }
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b)
            segment_[a][b] = between_[a][b] | square_table[a] | square_table[b];
}

}  // namespace vorline
