// Making and taking back moves.

#include "board/board_errors.h"
#include "board/chess_position.h"

void ChessPosition::apply_to_placement(Move move) {
    const std::uint32_t piece = move.piece().code();
    const std::uint32_t capture = move.capture().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    switch (move.code()) {
    case Move::nullmove:
        break;
    case Move::normal_move:
        take(capture, to);
        take(piece, from);
        put(piece, to);
        break;
    case Move::promo_queen:
    case Move::promo_rook:
    case Move::promo_bishop:
    case Move::promo_knight:
        take(capture, to);
        take(piece, from);
        put(move.promoted_code(), to);
        break;
    case Move::castling: {
        const bool white = piece == Piece::white_king;
        const std::uint32_t king = white ? Piece::white_king : Piece::black_king;
        const std::uint32_t rook = white ? Piece::white_rook : Piece::black_rook;
        const CastlingSquares dest = castling_destinations(white ? 0 : 56, to > from);
        take(king, from);
        take(rook, to);
        put(king, dest.king_to);
        put(rook, dest.rook_to);
        break;
    }
    case Move::en_passant:
        take(capture, white_to_move() ? to - 8 : to + 8);
        take(piece, from);
        put(piece, to);
        break;
    }
    piece_bitboards_[0] = 0;
    side_to_move_ ^= 1;
    update_summaries();
}

void ChessPosition::take_back_from_placement(Move move) {
    const std::uint32_t piece = move.piece().code();
    const std::uint32_t capture = move.capture().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    switch (move.code()) {
    case Move::nullmove:
        break;
    case Move::normal_move:
        take(piece, to);
        put(piece, from);
        put(capture, to);
        break;
    case Move::promo_queen:
    case Move::promo_rook:
    case Move::promo_bishop:
    case Move::promo_knight:
        take(move.promoted_code(), to);
        put(capture, to);
        put(piece, from);
        break;
    case Move::castling: {
        const bool white = piece == Piece::white_king;
        const std::uint32_t king = white ? Piece::white_king : Piece::black_king;
        const std::uint32_t rook = white ? Piece::white_rook : Piece::black_rook;
        const CastlingSquares dest = castling_destinations(white ? 0 : 56, to > from);
        take(king, dest.king_to);
        take(rook, dest.rook_to);
        put(king, from);
        put(rook, to);
        break;
    }
    case Move::en_passant:
        // The side to move is still the opponent of the capturer.
        take(piece, to);
        put(piece, from);
        put(capture, black_to_move() ? to - 8 : to + 8);
        break;
    }
    piece_bitboards_[0] = 0;
    side_to_move_ ^= 1;
    update_summaries();
}

void ChessPosition::make_move(Move move) {
    ++movecounter_;
    apply_to_placement(move);

    const HistoryEntry& previous = history_.back();
    const std::uint32_t piece = move.piece().code();
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    const bool pawn_move = (piece & 7) == Piece::pawn;
    const bool irreversible = pawn_move || move.is_capture();

    // A king move gives up both rights of its side; a move from or to a corner square
    // gives up the right of the rook standing (or having stood) there. A null move
    // touches no square.
    std::uint32_t rights = previous.castling_rights;
    if (rights != 0 && move.code() != Move::nullmove) {
        if (piece == Piece::white_king) rights &= 0xFF00;
        if (piece == Piece::black_king) rights &= 0x00FF;
        for (const std::uint32_t s : {from, to}) {
            if (s < 8) rights &= ~(1u << s);
            else if (s >= 56) rights &= ~(1u << (s - 48));
        }
    }

    // An en passant square is recorded only when an enemy pawn stands beside the pawn
    // that made the double step, so that keys match Polyglot's.
    std::uint32_t en_passant = no_square;
    if (pawn_move && (from > to ? from - to : to - from) == 16) {
        const Bitboard enemy_pawns = bitboard(piece ^ Piece::black_bit);
        const Bitboard beside = ((square_table[to] << 1) & not_file_a) | ((square_table[to] >> 1) & not_file_h);
        if (beside & enemy_pawns) en_passant = (from + to) / 2;
    }

    HistoryEntry entry = previous;
    entry.castling_rights = std::uint16_t(rights);
    entry.half_move_clock = irreversible ? 0
                            : previous.half_move_clock == 0xFFFF ? previous.half_move_clock
                                                                 : std::uint16_t(previous.half_move_clock + 1);
    entry.en_passant_square = en_passant;
    entry.last_move = move;
    history_.push_back(entry);

    update_pins(move);
    if (side_to_move_ == 1) ++full_move_number_;
    history_.back().in_check = move.check() ? 1 : 0;
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
