// Random games: legal games of random moves from the initial position, as PGN text.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"
#include "notation/san_move.h"

namespace vorline {

// Writes games of up to `plies` random legal moves, each with one tag line, one after
// another from the generator's state. Almost every position past the first few moves is
// new, which makes indexes with many distinct positions.
class RandomGames {
public:
    explicit RandomGames(std::uint64_t seed) : position_(tables_), random_(seed) {}

    // With `fens`, the FEN of every position the game reaches is added, a line each.
    void append_game(std::string& text, int plies, std::string* fens = nullptr) {
        position_.set_start_position();
        text += "[Event \"R\"]\n\n";
        for (int ply = 0; ply < plies; ++ply) {
            MoveList moves;
            position_.generate_legal_moves(moves);
            if (moves.empty()) break;
            const Move move = moves[random_() % moves.size()];
            if (position_.white_to_move()) {
                text += std::to_string(ply / 2 + 1);
                text += ". ";
            }
            text += SanMove(position_, move).text();
            text += ' ';
            position_.make_move(move);
            if (fens) *fens += position_.fen() + '\n';
        }
        text += "*\n\n";
    }

    std::string games(int count, int plies, std::string* fens = nullptr) {
        std::string text;
        for (int i = 0; i < count; ++i) append_game(text, plies, fens);
        return text;
    }

private:
    AttackTables tables_;
    ChessPosition position_;
    std::mt19937_64 random_;
};

}  // namespace vorline
