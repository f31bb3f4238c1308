#include "board/hash_keys.h"

#include "board/chess_position.h"

namespace vorline {

namespace {

// Enough for the longest games without reallocating while moves are made.
constexpr std::size_t reserved_plies = 1024;

}  // namespace

HashKeys::HashKeys() {
    piece_hash_.reserve(reserved_plies);
    pawn_hash_.reserve(reserved_plies);
    piece_hash_.push_back(0);
    pawn_hash_.push_back(0);
}

void HashKeys::recompute(const ChessPosition& position) {
    position_ = &position;
    std::uint64_t pieces = 0;
    std::uint64_t pawns = 0;
    for (std::uint32_t code = 1; code <= 14; ++code) {
        Bitboard squares = position.bitboard(code);
        while (squares) {
            const std::uint32_t s = pop_lowest_square(squares);
            pieces ^= piece_keys[code][s];
            pawns ^= pawn_keys[code][s];
        }
    }
    piece_hash_.clear();
    pawn_hash_.clear();
    piece_hash_.push_back(pieces);
    pawn_hash_.push_back(pawns);
}

void HashKeys::update(Move move) {
    std::uint64_t pieces = piece_hash_.back();
    std::uint64_t pawns = pawn_hash_.back();
    const std::uint32_t piece = move.piece().code();
    const std::uint32_t capture = move.capture().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    switch (move.code()) {
        case Move::nullmove:
            break;
        case Move::normal_move:
            pieces ^= piece_keys[piece][from] ^ piece_keys[piece][to] ^ piece_keys[capture][to];
            pawns ^= pawn_keys[piece][from] ^ pawn_keys[piece][to] ^ pawn_keys[capture][to];
            break;
        case Move::promo_queen:
        case Move::promo_rook:
        case Move::promo_bishop:
        case Move::promo_knight: {
            const std::uint32_t pawn = to > from ? Piece::white_pawn : Piece::black_pawn;
            const std::uint32_t promoted = pawn + 6 - move.code();
            pieces ^= piece_keys[pawn][from] ^ piece_keys[promoted][to] ^ piece_keys[capture][to];
            pawns ^= pawn_keys[pawn][from];
            break;
        }
        case Move::castling: {
            const auto [king, rook, dest] = castling_pieces(piece, from, to);
            pieces ^= piece_keys[king][from] ^ piece_keys[rook][to] ^
                      piece_keys[king][dest.king_to] ^ piece_keys[rook][dest.rook_to];
            break;
        }
        case Move::en_passant: {
            const bool white = to > from;
            const std::uint32_t victim_square = white ? to - 8 : to + 8;
            const std::uint32_t victim = white ? Piece::black_pawn : Piece::white_pawn;
            const std::uint64_t change =
                piece_keys[piece][from] ^ piece_keys[piece][to] ^ piece_keys[victim][victim_square];
            pieces ^= change;
            pawns ^= change;
            break;
        }
    }
    piece_hash_.push_back(pieces);
    pawn_hash_.push_back(pawns);
}

std::uint64_t HashKeys::hash() const {
    if (position_ == nullptr) return key(piece_hash(), 0, no_square, true);
    const HistoryEntry& entry = position_->history().back();
    return key(piece_hash(), entry.castling_rights, entry.en_passant_square,
               position_->white_to_move());
}

}  // namespace vorline
