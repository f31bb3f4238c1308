// Pins, discovered-check candidates, the check flag and attacker queries.
#include "board/chess_position.h"

namespace vorline {

Bitboard ChessPosition::white_sliders_aimed_at(std::uint32_t square) const {
    const AttackTables& t = *tables_;
    const Bitboard queens = white_queens();
    return ((white_rooks() | queens) & t.rook_rays(square)) |
           ((white_bishops() | queens) & t.bishop_rays(square));
}

Bitboard ChessPosition::black_sliders_aimed_at(std::uint32_t square) const {
    const AttackTables& t = *tables_;
    const Bitboard queens = black_queens();
    return ((black_rooks() | queens) & t.rook_rays(square)) |
           ((black_bishops() | queens) & t.bishop_rays(square));
}

void ChessPosition::add_pins(std::uint32_t king_square, Bitboard sliders, Bitboard king_side_pieces,
                             Bitboard slider_side_pieces, HistoryEntry& entry) const {
    while (sliders) {
        const std::uint32_t s = pop_lowest_square(sliders);
        const Bitboard between = tables_->between(s, king_square);
        const Bitboard blockers = between & occupied_;
        // Exactly one piece between slider and king.
        if (blockers == 0 || (blockers & (blockers - 1)) != 0) continue;
        if (blockers & king_side_pieces) entry.pinned_pieces |= blockers;
        if (blockers & slider_side_pieces) entry.discovering_pieces |= blockers;
    }
}

void ChessPosition::compute_pins() {
    HistoryEntry& entry = history_.back();
    entry.pinned_pieces = 0;
    entry.discovering_pieces = 0;
    // A missing king has no pins against it; its square is recorded as 64.
    const std::uint32_t b = lowest_square(black_king());
    entry.black_king_square = b;
    if (b != no_square) add_pins(b, white_sliders_aimed_at(b), black_pieces_, white_pieces_, entry);
    const std::uint32_t w = lowest_square(white_king());
    entry.white_king_square = w;
    if (w != no_square) add_pins(w, black_sliders_aimed_at(w), white_pieces_, black_pieces_, entry);
}

void ChessPosition::update_pins(Move move) {
    if (move.code() == Move::nullmove) return;
    HistoryEntry& entry = history_.back();
    const bool king_move = move.piece().is_king();
    if (king_move || move.is_en_passant() || entry.pinned_pieces != 0 ||
        entry.discovering_pieces != 0) {
        compute_pins();
        return;
    }
    // No pins before and no king moved: only sliders on lines through the move's two
    // squares can have gained a lone blocker.
    const Bitboard lines =
        tables_->queen_rays(move.from_index()) | tables_->queen_rays(move.to_index());
    const std::uint32_t b = entry.black_king_square;
    if (b != no_square)
        add_pins(b, white_sliders_aimed_at(b) & lines, black_pieces_, white_pieces_, entry);
    const std::uint32_t w = entry.white_king_square;
    if (w != no_square)
        add_pins(w, black_sliders_aimed_at(w) & lines, white_pieces_, black_pieces_, entry);
}

void ChessPosition::update_in_check() {
    const bool checked = white_to_move() ? attackers_by_black(white_king()) != 0
                                         : attackers_by_white(black_king()) != 0;
    history_.back().in_check = checked ? 1 : 0;
}

namespace {

template <bool White>
std::uint32_t least_valuable(const ChessPosition& p, Bitboard target) {
    if (target == 0) return no_square;
    const Bitboard attackers = p.attackers<White>(target, p.occupied(), false);
    const std::uint32_t base = White ? 0 : 8;
    for (std::uint32_t kind = Piece::pawn; kind <= Piece::king; ++kind)
        if (const Bitboard set = attackers & p.bitboard(base + kind); set != 0)
            return lowest_square(set);
    return no_square;
}

}  // namespace

std::uint32_t ChessPosition::least_valuable_attacker_white(Bitboard target) const {
    return least_valuable<true>(*this, target);
}

std::uint32_t ChessPosition::least_valuable_attacker_black(Bitboard target) const {
    return least_valuable<false>(*this, target);
}

}  // namespace vorline
