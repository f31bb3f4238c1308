// Operations that rest on legal-move generation: results, coordinate input, legality.
#include <algorithm>
#include <string>

#include "board/board_errors.h"
#include "board/chess_position.h"
#include "board/move_list.h"
#include "board/move_list_stack.h"

namespace vorline {

void ChessPosition::generate_legal_moves(MoveListStack& stack) const {
    generator_.generate(stack.current());
}

void ChessPosition::generate_tactical_moves(MoveListStack& stack) const {
    generator_.generate(stack.current(), true);
}

bool ChessPosition::is_legal_move(Move move) const {
    MoveList list;
    generate_legal_moves(list);
    return list.contains(move);
}

namespace {

constexpr Bitboard dark_squares = 0xAA55AA55AA55AA55ULL;

// No pawns, rooks or queens, at most one minor piece a side, and not two bishops on
// squares of different colours.
bool insufficient_material(const ChessPosition& p) {
    if (p.white_pawns() | p.black_pawns() | p.white_rooks() | p.black_rooks() | p.white_queens() |
        p.black_queens())
        return false;
    const Bitboard white_minor = p.white_knights() | p.white_bishops();
    const Bitboard black_minor = p.black_knights() | p.black_bishops();
    if (popcount(white_minor) > 1 || popcount(black_minor) > 1) return false;
    const Bitboard wb = p.white_bishops();
    const Bitboard bb = p.black_bishops();
    if ((wb & ~dark_squares) && (bb & dark_squares)) return false;
    if ((wb & dark_squares) && (bb & ~dark_squares)) return false;
    return true;
}

}  // namespace

std::string ChessPosition::result_text() const {
    std::string result = "*";
    const std::size_t n = repetition_list_.size();
    if (n >= 3) {
        const auto occurrences = [this](std::uint64_t key) {
            return key == 0 ? 0 : std::count(repetition_list_.begin(), repetition_list_.end(), key);
        };
        if (occurrences(repetition_list_[n - 1]) >= 3 || occurrences(repetition_list_[n - 2]) >= 3)
            result = "1/2-1/2 {Draw by threefold repetition}";
    }
    if (fifty_moves()) result = "1/2-1/2 {Draw by fifty move rule}";
    if (insufficient_material(*this)) result = "1/2-1/2 {Draw by insufficient material}";
    MoveList list;
    generate_legal_moves(list);
    if (list.empty()) {
        // Mate or stalemate is told from the board, not from the stored check flag.
        const bool checked =
            white_to_move() ? attacked_by_black(white_king()) : attacked_by_white(black_king());
        if (!checked)
            result = "1/2-1/2 {Stalemate}";
        else
            result = white_to_move() ? "0-1 {Black mates}" : "1-0 {White mates}";
    }
    return result;
}

Move ChessPosition::convert_to_move(std::string_view text) const {
    MoveList list;
    generate_legal_moves(list);
    const Bitboard king = white_to_move() ? white_king() : black_king();
    const std::uint32_t king_square = lowest_square(king);

    // Castling by name: the first rook of either colour beyond the king on that side.
    // Only a legal castling move is returned.
    if ((text == "O-O" || text == "O-O-O") && king_square != no_square) {
        const bool king_side = text == "O-O";
        std::uint32_t rook_square = no_square;
        if (king_side) {
            for (std::uint32_t s = king_square + 1; s < 64 && rook_square == no_square; ++s)
                if (board_[s].is_rook()) rook_square = s;
        } else {
            for (std::uint32_t s = king_square; s-- > 0 && rook_square == no_square;)
                if (board_[s].is_rook()) rook_square = s;
        }
        if (rook_square != no_square) {
            for (Move move : list)
                if (move.is_castling() && move.to_index() == rook_square) return move;
            throw MoveTextError("ChessPosition::convert_to_move(string)   " + fen() +
                                "    illegal move " + std::string(text) +
                                "   cp.id=" + std::to_string(id_) + "\n");
        }
    }

    const auto is_file = [](char c) { return c >= 'a' && c <= 'h'; };
    const auto is_rank = [](char c) { return c >= '1' && c <= '8'; };
    if ((text.size() != 4 && text.size() != 5) || !is_file(text[0]) || !is_rank(text[1]) ||
        !is_file(text[2]) || !is_rank(text[3]))
        throw MoveTextError("ChessPosition::convert_to_move(const string& " + std::string(text) +
                            ")");

    const auto find = [&](std::uint32_t from, std::uint32_t to) -> const Move* {
        for (const Move& move : list) {
            if (move.from_index() != from || move.to_index() != to) continue;
            if (text.size() == 4) return &move;
            const std::uint32_t wanted = text[4] == 'q'   ? Move::promo_queen
                                         : text[4] == 'r' ? Move::promo_rook
                                         : text[4] == 'b' ? Move::promo_bishop
                                         : text[4] == 'n' ? Move::promo_knight
                                                          : Move::nullmove;
            if (wanted != Move::nullmove && move.code() == wanted) return &move;
        }
        return nullptr;
    };

    const std::uint32_t from = std::uint32_t(text[0] - 'a') + 8 * std::uint32_t(text[1] - '1');
    const std::uint32_t to = std::uint32_t(text[2] - 'a') + 8 * std::uint32_t(text[3] - '1');
    const Move* found = find(from, to);
    if (found == nullptr) {
        // Castling written as the king's two-square step.
        const std::string_view squares = text.substr(0, 4);
        if (board_[from].code() == Piece::white_king && from == squares::e1 &&
            (squares == "e1g1" || squares == "e1c1"))
            found = find(from, squares == "e1g1" ? squares::h1 : squares::a1);
        else if (board_[from].code() == Piece::black_king && from == squares::e8 &&
                 (squares == "e8g8" || squares == "e8c8"))
            found = find(from, squares == "e8g8" ? squares::h8 : squares::a8);
    }
    if (found == nullptr)
        throw MoveTextError("ChessPosition::convert_to_move(string)   " + fen() +
                            "    illegal move " + std::string(text) +
                            "   cp.id=" + std::to_string(id_) + "\n");
    return *found;
}

}  // namespace vorline
