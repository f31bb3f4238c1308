// Move: a chess move packed in 32 bits (to, from, kind, check, captured and moving piece, label).
#pragma once

#include <cstdint>
#include <string>

#include "board/piece.h"
#include "board/square.h"

namespace vorline {

// Where a castling puts the king and the rook, on the first rank that starts at `base`
// (0 for White, 56 for Black): files g and f on the king side, c and d on the queen side,
// wherever the two pieces started.
struct CastlingSquares {
    std::uint32_t king_to;
    std::uint32_t rook_to;
};

constexpr CastlingSquares castling_destinations(std::uint32_t base, bool king_side) {
    return king_side ? CastlingSquares{base + 6, base + 5} : CastlingSquares{base + 2, base + 3};
}

// The two pieces of a castling move stored as `king_piece` (a king's code) going from
// `from` onto its own rook's square `to`, and where they end.
struct CastlingPieces {
    std::uint32_t king, rook;
    CastlingSquares dest;
};

constexpr CastlingPieces castling_pieces(std::uint32_t king_piece, std::uint32_t from,
                                         std::uint32_t to) {
    const bool white = king_piece == Piece::white_king;
    return {white ? Piece::white_king : Piece::black_king,
            white ? Piece::white_rook : Piece::black_rook,
            castling_destinations(white ? 0 : 56, to > from)};
}

// Bits 0-5 to, 6-11 from, 12-14 code, 15 check, 16-19 capture, 20-23 piece, 24-31 xcode.
// The all-zero word is the empty move. Castling is stored as the king moving onto its
// rook's square (e1h1, e1a1, e8h8, e8a8 in the standard set-up).
class Move {
public:
    enum Code : std::uint32_t {
        nullmove = 0,
        normal_move,
        promo_queen,
        promo_rook,
        promo_bishop,
        promo_knight,
        castling,
        en_passant,
    };

    // Move-ordering labels.
    enum XCode : std::uint32_t {
        hashtable_move = 0,
        good_capture,
        killer,
        counter_move,
        killer_2,
        historical_move,
        fertility1,
        fertility2,
        fertility3,
        to_centre,
        to_bigcentre,
        losing_capture,
        xnormal_move,
    };

    static constexpr std::uint32_t to_shift = 0, from_shift = 6, code_shift = 12, check_shift = 15,
                                   capture_shift = 16, piece_shift = 20, xcode_shift = 24;
    static constexpr std::uint32_t check_bit = 1u << check_shift;
    static constexpr std::uint32_t move_bits = 0x00FFFFFF;  // everything but xcode

    constexpr Move() = default;
    // A new move: check clear, xcode xnormal_move. Squares are masked to 6 bits.
    constexpr Move(std::uint32_t from, std::uint32_t to, std::uint32_t code, std::uint32_t piece,
                   std::uint32_t capture)
        : word_(((((to & 63) << to_shift) | ((from & 63) << from_shift) | (code << code_shift) |
                  (capture << capture_shift) | (piece << piece_shift)) &
                 move_bits & ~check_bit) |
                (std::uint32_t(xnormal_move) << xcode_shift)) {}
    constexpr Move(Square from, Square to, std::uint32_t code, Piece piece, Piece capture)
        : Move(from.value(), to.value(), code, piece.code(), capture.code()) {}

    static constexpr Move from_word(std::uint32_t word) {
        Move m;
        m.word_ = word;
        return m;
    }
    constexpr std::uint32_t word() const { return word_; }

    constexpr void clear() { word_ = 0; }
    constexpr bool is_empty() const { return word_ == 0; }

    // The empty move reads both squares as no_square (64).
    constexpr Square from() const { return word_ == 0 ? no_square : from_index(); }
    constexpr Square to() const { return word_ == 0 ? no_square : to_index(); }
    // Raw square bits, for moves known not to be empty (generation, making moves).
    constexpr std::uint32_t from_index() const { return (word_ >> from_shift) & 63; }
    constexpr std::uint32_t to_index() const { return (word_ >> to_shift) & 63; }
    constexpr std::uint32_t code() const { return (word_ >> code_shift) & 7; }
    constexpr bool check() const { return (word_ & check_bit) != 0; }
    constexpr Piece capture() const { return (word_ >> capture_shift) & 15; }
    constexpr Piece piece() const { return (word_ >> piece_shift) & 15; }
    constexpr std::uint32_t xcode() const { return word_ >> xcode_shift; }

    constexpr void set_from(Square s) { set_field(from_shift, 63, s.value()); }
    constexpr void set_to(Square s) { set_field(to_shift, 63, s.value()); }
    constexpr void set_code(std::uint32_t code) { set_field(code_shift, 7, code); }
    constexpr void set_check(bool check) { word_ = check ? word_ | check_bit : word_ & ~check_bit; }
    constexpr void set_capture(Piece p) { set_field(capture_shift, 15, p.code()); }
    constexpr void set_piece(Piece p) { set_field(piece_shift, 15, p.code()); }
    constexpr void set_xcode(std::uint32_t xcode) { set_field(xcode_shift, 255, xcode); }

    constexpr bool is_promotion() const {
        return code() - promo_queen <= promo_knight - promo_queen;
    }
    constexpr bool is_castling() const { return code() == castling; }
    constexpr bool is_en_passant() const { return code() == en_passant; }
    constexpr bool is_capture() const { return (word_ >> capture_shift & 15) != 0; }
    // Code of the piece a promotion puts on `to`: the pawn's code plus 4, 3, 2 or 1.
    constexpr std::uint32_t promoted_code() const { return piece().code() + 6 - code(); }
    // King side when the rook's square lies beyond the king's.
    constexpr bool is_king_side_castling() const { return to_index() > from_index(); }

    // Equal when the low 24 bits agree: xcode is ignored, check counts.
    friend constexpr bool operator==(Move a, Move b) {
        return ((a.word_ ^ b.word_) & move_bits) == 0;
    }

    // "e2e4", "e7e8q", "0000" for the empty move. Standard castlings print in the king's
    // two-square form ("e1g1") unless rook_square_form asks for the stored "e1h1".
    std::string coordinate_text(bool rook_square_form = false) const;
    // One diagnostic line: "from:e2  to:e4  code:normal_move  piece:white pawn  ...".
    std::string dump() const;

private:
    constexpr void set_field(std::uint32_t shift, std::uint32_t mask, std::uint32_t value) {
        word_ = (word_ & ~(mask << shift)) | ((value & mask) << shift);
    }

    std::uint32_t word_ = 0;
};

}  // namespace vorline
