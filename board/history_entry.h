// HistoryEntry: what a position keeps per ply besides the placement, so that a move can be
// taken back without recomputing anything.
#pragma once

#include <cstdint>

#include "board/bitboard.h"
#include "board/move.h"

namespace vorline {

// Castling-rights mask: bit f (file a = 0 ... h = 7) lets White castle with the rook on
// that file of rank 1, bit 8 + f lets Black castle with the rook on that file of rank 8.
struct CastlingMask {
    static constexpr std::uint16_t white_queen_side = 0x0001;  // a1
    static constexpr std::uint16_t white_king_side = 0x0080;   // h1
    static constexpr std::uint16_t black_queen_side = 0x0100;  // a8
    static constexpr std::uint16_t black_king_side = 0x8000;   // h8
    static constexpr std::uint16_t standard = 0x8181;
    // Rights for rooks on files b to g, which only Chess960 set-ups have.
    static constexpr std::uint16_t inner_files = 0x7E7E;
};

struct HistoryEntry {
    // Pieces of either colour alone between their own king and an enemy slider aimed at it.
    Bitboard pinned_pieces = 0;
    // Pieces of either colour alone between a slider of their own colour and the enemy king.
    Bitboard discovering_pieces = 0;
    std::uint16_t castling_rights = 0;
    std::uint16_t half_move_clock = 0;
    Move last_move;  // empty in the entry of a set-up position
    std::uint32_t en_passant_square = no_square;
    std::uint32_t white_king_square = no_square;
    std::uint32_t black_king_square = no_square;
    std::uint8_t in_check = 0;  // 1 when the side to move is in check

    friend bool operator==(const HistoryEntry& a, const HistoryEntry& b) {
        return a.pinned_pieces == b.pinned_pieces && a.discovering_pieces == b.discovering_pieces &&
               a.castling_rights == b.castling_rights && a.half_move_clock == b.half_move_clock &&
               a.last_move.word() == b.last_move.word() &&
               a.en_passant_square == b.en_passant_square &&
               a.white_king_square == b.white_king_square &&
               a.black_king_square == b.black_king_square && a.in_check == b.in_check;
    }
};

}  // namespace vorline
