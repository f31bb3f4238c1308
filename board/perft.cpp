#include "board/perft.h"

#include <cstdlib>
#include <fstream>

#include "board/move_list.h"

namespace vorline {

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

std::vector<PerftLine> read_perft_lines(const std::string& path) {
    std::vector<PerftLine> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) continue;
        lines.push_back({line.substr(0, tab1), std::atoi(line.c_str() + tab1 + 1),
                         std::strtoull(line.c_str() + tab2 + 1, nullptr, 10)});
    }
    return lines;
}

}  // namespace vorline
