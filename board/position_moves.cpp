// Making and taking back moves.
#include <array>

#include "board/board_errors.h"
#include "board/chess_position.h"

namespace vorline {

namespace {

// The castling rights a move from or to each square keeps: a rook leaving or taken on a
// first-rank square loses the right of its file.
constexpr std::array<std::uint16_t, 64> rights_kept = [] {
    std::array<std::uint16_t, 64> kept{};
    for (std::uint32_t s = 0; s < 64; ++s)
        kept[s] = s < 8     ? std::uint16_t(~(1u << s))
                  : s >= 56 ? std::uint16_t(~(1u << (s - 48)))
                            : std::uint16_t(0xFFFF);
    return kept;
}();

}  // namespace

// Only the squares of the move change: in the bitboards of the pieces involved and in the
// summaries of their colours.
void ChessPosition::apply_to_placement(Move move) {
    const std::uint32_t piece = move.piece().code();
    const std::uint32_t capture = move.capture().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    const Bitboard from_bit = square_table[from];
    const Bitboard to_bit = square_table[to];
    Bitboard& movers = pieces_of_colour(piece);
    switch (move.code()) {
        case Move::nullmove:
            break;
        case Move::normal_move:
        case Move::promo_queen:
        case Move::promo_rook:
        case Move::promo_bishop:
        case Move::promo_knight:
            // Without a branch on whether the move captures: with nothing captured this
            // clears the empty code's bitboard (zeroed below) and a square that the mover
            // fills or that its colour never held.
            piece_bitboards_[capture] &= ~to_bit;
            pieces_of_colour(capture) &= ~to_bit;
            take(piece, from);
            put(move.is_promotion() ? move.promoted_code() : piece, to);
            movers = (movers & ~from_bit) | to_bit;
            break;
        case Move::castling: {
            const auto [king, rook, dest] = castling_pieces(piece, from, to);
            take(king, from);
            take(rook, to);
            put(king, dest.king_to);
            put(rook, dest.rook_to);
            movers = (movers & ~(from_bit | to_bit)) | square_table[dest.king_to] |
                     square_table[dest.rook_to];
            break;
        }
        case Move::en_passant: {
            const std::uint32_t victim = white_to_move() ? to - 8 : to + 8;
            take(capture, victim);
            if (capture != Piece::no_piece) pieces_of_colour(capture) &= ~square_table[victim];
            take(piece, from);
            put(piece, to);
            movers = (movers & ~from_bit) | to_bit;
            break;
        }
    }
    piece_bitboards_[0] = 0;
    occupied_ = white_pieces_ | black_pieces_;
    side_to_move_ ^= 1;
}

void ChessPosition::take_back_from_placement(Move move) {
    const std::uint32_t piece = move.piece().code();
    const std::uint32_t capture = move.capture().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    const Bitboard from_bit = square_table[from];
    const Bitboard to_bit = square_table[to];
    Bitboard& movers = pieces_of_colour(piece);
    switch (move.code()) {
        case Move::nullmove:
            break;
        case Move::normal_move:
        case Move::promo_queen:
        case Move::promo_rook:
        case Move::promo_bishop:
        case Move::promo_knight:
            take(move.is_promotion() ? move.promoted_code() : piece, to);
            put(piece, from);
            if (capture != Piece::no_piece) {
                put(capture, to);
                pieces_of_colour(capture) |= to_bit;
            }
            movers = (movers & ~to_bit) | from_bit;
            break;
        case Move::castling: {
            const auto [king, rook, dest] = castling_pieces(piece, from, to);
            take(king, dest.king_to);
            take(rook, dest.rook_to);
            put(king, from);
            put(rook, to);
            movers = (movers & ~(square_table[dest.king_to] | square_table[dest.rook_to])) |
                     from_bit | to_bit;
            break;
        }
        case Move::en_passant: {
            // The side to move is still the opponent of the capturer.
            const std::uint32_t victim = black_to_move() ? to - 8 : to + 8;
            take(piece, to);
            put(piece, from);
            put(capture, victim);
            if (capture != Piece::no_piece) pieces_of_colour(capture) |= square_table[victim];
            movers = (movers & ~to_bit) | from_bit;
            break;
        }
    }
    piece_bitboards_[0] = 0;
    occupied_ = white_pieces_ | black_pieces_;
    side_to_move_ ^= 1;
}

void ChessPosition::make_move(Move move) {
    ++movecounter_;
    apply_to_placement(move);

    const std::uint32_t piece = move.piece().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    const bool pawn_move = (piece & 7) == Piece::pawn;
    const bool irreversible = pawn_move || move.is_capture();

    history_.push_back(history_.back());
    HistoryEntry& entry = history_.back();
    // A king move gives up both rights of its side; a move from or to a first-rank square
    // gives up the right of the rook standing (or having stood) there. A null move
    // touches no square.
    if (entry.castling_rights != 0 && move.code() != Move::nullmove) {
        std::uint32_t rights = entry.castling_rights & rights_kept[from] & rights_kept[to];
        if (piece == Piece::white_king) rights &= 0xFF00;
        if (piece == Piece::black_king) rights &= 0x00FF;
        entry.castling_rights = std::uint16_t(rights);
    }
    if (irreversible)
        entry.half_move_clock = 0;
    else if (entry.half_move_clock != 0xFFFF)
        ++entry.half_move_clock;

    // An en passant square is recorded only when an enemy pawn stands beside the pawn
    // that made the double step, so that keys match Polyglot's.
    entry.en_passant_square = no_square;
    if (pawn_move && (from > to ? from - to : to - from) == 16) {
        const Bitboard enemy_pawns = bitboard(piece ^ Piece::black_bit);
        const Bitboard beside =
            ((square_table[to] << 1) & not_file_a) | ((square_table[to] >> 1) & not_file_h);
        if (beside & enemy_pawns) entry.en_passant_square = (from + to) / 2;
    }
    entry.last_move = move;

    update_pins(move);
    if (side_to_move_ == 1) ++full_move_number_;
    entry.in_check = move.check() ? 1 : 0;
    hash_keys_.update(move);

    const std::uint64_t key = hash();
    if (irreversible) repetition_list_.push_back(0);
    repetition_list_.push_back(key);
}

void ChessPosition::unmake_move() {
    if (history_.size() < 2) throw BoardError("ChessPosition::unmake_move() no move to take back");
    take_back_from_placement(history_.back().last_move);
    history_.pop_back();
    if (side_to_move_ == 0) --full_move_number_;
    hash_keys_.pop();
    repetition_list_.pop_back();
    if (!repetition_list_.empty() && repetition_list_.back() == 0) repetition_list_.pop_back();
}

bool ChessPosition::is_repetition() const {
    const std::size_t n = repetition_list_.size();
    if (n < 2) return false;
    const std::uint64_t key = repetition_list_[n - 1];
    for (std::size_t i = n - 1; i-- > 0;) {
        if (repetition_list_[i] == 0) return false;
        if (repetition_list_[i] == key) return true;
    }
    return false;
}

}  // namespace vorline
