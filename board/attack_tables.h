// AttackTables: the read-only bundle of knight, king, slider and line tables a position reads.
#pragma once

#include <array>
#include <cstdint>

#include "board/bitboard.h"
#include "board/line_tables.h"
#include "board/magic_moves.h"

namespace vorline {

// Built once by its owner and never changed; positions hold a reference to it. Squares
// are 0..63 and unchecked. Each lookup also comes in a form that takes a one-square
// bitboard (suffix _bb).
class AttackTables {
public:
    AttackTables();  // may throw TableError from MagicMoves
    AttackTables(const AttackTables&) = delete;
    AttackTables& operator=(const AttackTables&) = delete;

    Bitboard knight_attacks(std::uint32_t s) const { return knight_[s]; }
    Bitboard king_attacks(std::uint32_t s) const { return king_[s]; }
    Bitboard bishop_attacks(std::uint32_t s, Bitboard occupancy) const {
        return magic_.bishop_attacks(s, occupancy);
    }
    Bitboard rook_attacks(std::uint32_t s, Bitboard occupancy) const {
        return magic_.rook_attacks(s, occupancy);
    }
    Bitboard queen_attacks(std::uint32_t s, Bitboard occupancy) const {
        return magic_.queen_attacks(s, occupancy);
    }
    Bitboard rook_rays(std::uint32_t s) const { return lines_.rook_rays(s); }
    Bitboard bishop_rays(std::uint32_t s) const { return lines_.bishop_rays(s); }
    Bitboard queen_rays(std::uint32_t s) const { return lines_.queen_rays(s); }
    Bitboard between(std::uint32_t a, std::uint32_t b) const { return lines_.between(a, b); }
    Bitboard segment(std::uint32_t a, std::uint32_t b) const { return lines_.segment(a, b); }

    // The line a piece pinned against the king on `king` may keep to: from the king up to
    // and including the slider among `straight` (rook movers) and `diagonal` (bishop
    // movers) for which the piece `one` is the only occupied square in between; empty when
    // no such slider pins it.
    Bitboard pin_line(std::uint32_t king, Bitboard one, Bitboard occupied, Bitboard straight,
                      Bitboard diagonal) const {
        Bitboard pinners = (rook_rays(king) & straight) | (bishop_rays(king) & diagonal);
        while (pinners) {
            const std::uint32_t s = pop_lowest_square(pinners);
            if ((between(king, s) & occupied) == one) return segment(king, s);
        }
        return 0;
    }

    Bitboard knight_attacks_bb(Bitboard one) const { return knight_attacks(lowest_square(one)); }
    Bitboard king_attacks_bb(Bitboard one) const { return king_attacks(lowest_square(one)); }
    Bitboard bishop_attacks_bb(Bitboard one, Bitboard occupancy) const {
        return bishop_attacks(lowest_square(one), occupancy);
    }
    Bitboard rook_attacks_bb(Bitboard one, Bitboard occupancy) const {
        return rook_attacks(lowest_square(one), occupancy);
    }
    Bitboard queen_attacks_bb(Bitboard one, Bitboard occupancy) const {
        return queen_attacks(lowest_square(one), occupancy);
    }
    Bitboard rook_rays_bb(Bitboard one) const { return rook_rays(lowest_square(one)); }
    Bitboard bishop_rays_bb(Bitboard one) const { return bishop_rays(lowest_square(one)); }
    Bitboard queen_rays_bb(Bitboard one) const { return queen_rays(lowest_square(one)); }
    Bitboard between_bb(Bitboard a, Bitboard b) const {
        return between(lowest_square(a), lowest_square(b));
    }
    Bitboard segment_bb(Bitboard a, Bitboard b) const {
        return segment(lowest_square(a), lowest_square(b));
    }

    const MagicMoves& magic_moves() const { return magic_; }
    const LineTables& line_tables() const { return lines_; }

private:
    std::array<Bitboard, 64> knight_{};
    std::array<Bitboard, 64> king_{};
    MagicMoves magic_;
    LineTables lines_;
};

}  // namespace vorline
