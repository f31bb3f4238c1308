#include "board/perft.h"

#include "board/move_list.h"

std::uint64_t perft(ChessPosition& position, int depth) {
    if (depth <= 1) return depth == 1 ? position.count_legal_moves() : 1;
    MoveList list;
    position.generate_legal_moves(list);
    std::uint64_t nodes = 0;
    for (Move move : list) {
        position.make_move(move);
        nodes += perft(position, depth - 1);
        position.unmake_move();
    }
    return nodes;
}
