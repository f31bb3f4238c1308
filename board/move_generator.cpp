#include "board/move_generator.h"

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"

namespace {

inline Move make(std::uint32_t from, std::uint32_t to, std::uint32_t code, std::uint32_t piece,
                 std::uint32_t capture, bool check) {
    return Move::from_word(Move(from, to, code, piece, capture).word() | (check ? Move::check_bit : 0));
}

}  // namespace

void MoveGenerator::generate(MoveList& list, bool tactical_only) const {
    list.reset();
    list.set_position(&position_);
    if (position_.white_to_move()) generate_for<true>(list, tactical_only);
    else generate_for<false>(list, tactical_only);
}

template <bool White>
void MoveGenerator::generate_for(MoveList& list, bool tactical_only) const {
    const ChessPosition& p = position_;
    const AttackTables& t = tables_;
    constexpr std::uint32_t us = White ? 0 : Piece::black_bit;
    constexpr std::uint32_t them = White ? Piece::black_bit : 0;
    constexpr Bitboard last_rank = White ? rank_8 : rank_1;
    constexpr Bitboard double_step_rank = White ? rank_4 : rank_5;
    constexpr Bitboard en_passant_rank = White ? rank_6 : rank_3;

    const Bitboard occupied = p.occupied();
    const Bitboard own = White ? p.white_pieces() : p.black_pieces();
    const Bitboard enemy = White ? p.black_pieces() : p.white_pieces();
    const Bitboard empty = ~occupied;
    const HistoryEntry& entry = p.current();
    const Bitboard pinned = entry.pinned_pieces & own;
    const Bitboard discovering = entry.discovering_pieces & own;

    const Bitboard king = p.bitboard(us + Piece::king);
    const std::uint32_t king_square = lowest_square(king);
    const std::uint32_t enemy_king_square = lowest_square(p.bitboard(them + Piece::king));
    const Bitboard enemy_king = square_table[enemy_king_square];  // empty when there is none
    const bool has_king = king_square != no_square;
    const bool has_enemy_king = enemy_king_square != no_square;

    const Bitboard own_queens = p.bitboard(us + Piece::queen);
    const Bitboard own_straight = p.bitboard(us + Piece::rook) | own_queens;
    const Bitboard own_diagonal = p.bitboard(us + Piece::bishop) | own_queens;
    const Bitboard enemy_queens = p.bitboard(them + Piece::queen);
    const Bitboard enemy_straight = p.bitboard(them + Piece::rook) | enemy_queens;
    const Bitboard enemy_diagonal = p.bitboard(them + Piece::bishop) | enemy_queens;

    // Squares from which each kind of own piece would attack the enemy king.
    const Bitboard straight_checks = has_enemy_king ? t.rook_attacks(enemy_king_square, occupied) : 0;
    const Bitboard diagonal_checks = has_enemy_king ? t.bishop_attacks(enemy_king_square, occupied) : 0;
    const Bitboard knight_checks = has_enemy_king ? t.knight_attacks(enemy_king_square) : 0;
    const Bitboard pawn_checks = pawn_attacks<!White>(enemy_king);

    // Whether own sliders see the enemy king once the occupancy has become `after`.
    const auto discovers = [&](Bitboard after, Bitboard straight, Bitboard diagonal) {
        return has_enemy_king && ((t.rook_attacks(enemy_king_square, after) & straight) |
                                  (t.bishop_attacks(enemy_king_square, after) & diagonal)) != 0;
    };

    // Checkers are taken from the board, so a wrong check flag cannot let an illegal move
    // through. In check, other pieces must capture the checker or block its line; in
    // double check only the king moves.
    const Bitboard checkers = has_king ? p.attackers<!White>(king, occupied, false) : 0;
    Bitboard evasion = ~Bitboard{0};
    if (checkers != 0)
        evasion = without_lowest(checkers) != 0 ? 0 : t.segment(king_square, lowest_square(checkers));

    // Destinations a non-king piece on `from` may reach: a pinned piece stays on the line
    // between its king and the pinner (the pinner's square included), and cannot move at
    // all in check, since that line meets the checker's only at the king.
    const auto allowed = [&](std::uint32_t from) -> Bitboard {
        const Bitboard bit = square_table[from];
        if ((pinned & bit) == 0) return evasion;
        if (checkers != 0) return 0;
        const Bitboard line = t.pin_line(king_square, bit, occupied, enemy_straight, enemy_diagonal);
        return line != 0 ? line : evasion;
    };

    // ---- Captures and promotions ----

    Bitboard pawns = p.bitboard(us + Piece::pawn);
    const std::uint32_t pawn = us + Piece::pawn;
    const std::uint32_t ep_square = entry.en_passant_square;
    // An en passant square counts only where an enemy pawn can just have passed over it.
    Bitboard ep_target = 0;
    if (ep_square != no_square && (square_table[ep_square] & en_passant_rank & empty) != 0 &&
        p.piece_on(White ? ep_square - 8 : ep_square + 8).code() == them + Piece::pawn)
        ep_target = square_table[ep_square];

    for (Bitboard pieces = pawns; pieces;) {
        const std::uint32_t from = pop_lowest_square(pieces);
        const Bitboard bit = square_table[from];
        const Bitboard attacks = pawn_attacks<White>(bit);
        const Bitboard mask = allowed(from);
        const bool discoverer = (discovering & bit) != 0;
        const Bitboard captures = attacks & enemy & mask;

        for (Bitboard targets = captures & ~last_rank; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const bool check = (pawn_checks & square_table[to]) != 0 ||
                               (discoverer && discovers(occupied ^ bit, own_straight, own_diagonal));
            list.push(make(from, to, Move::normal_move, pawn, p.piece_on(to).code(), check));
        }

        if (attacks & ep_target) {
            // Both pawns leave their squares: test the own king against the occupancy after
            // the capture, the captured pawn no longer counting as an attacker.
            const std::uint32_t victim = White ? ep_square - 8 : ep_square + 8;
            const Bitboard after = (occupied ^ bit ^ square_table[victim]) | ep_target;
            const bool legal =
                !has_king || (p.attackers<!White>(king, after, false) & ~square_table[victim]) == 0;
            if (legal) {
                const bool check = (pawn_checks & ep_target) != 0 || discovers(after, own_straight, own_diagonal);
                list.push(make(from, ep_square, Move::en_passant, pawn, them + Piece::pawn, check));
            }
        }

        const Bitboard promotions = (captures | (pawn_push<White>(bit) & empty & mask)) & last_rank;
        for (Bitboard targets = promotions; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const Bitboard to_bit = square_table[to];
            const Bitboard after = (occupied ^ bit) | to_bit;
            const std::uint32_t capture = p.piece_on(to).code();
            const bool discovered = discoverer && discovers(after, own_straight, own_diagonal);
            const bool straight = (t.rook_attacks(to, after) & enemy_king) != 0;
            const bool diagonal = (t.bishop_attacks(to, after) & enemy_king) != 0;
            const bool knight = (t.knight_attacks(to) & enemy_king) != 0;
            list.push(make(from, to, Move::promo_queen, pawn, capture, discovered || straight || diagonal));
            list.push(make(from, to, Move::promo_rook, pawn, capture, discovered || straight));
            list.push(make(from, to, Move::promo_bishop, pawn, capture, discovered || diagonal));
            list.push(make(from, to, Move::promo_knight, pawn, capture, discovered || knight));
        }
    }

    // Attack sets of the other pieces, kept for the quiet moves.
    Bitboard targets_of[64];
    const auto piece_moves = [&](std::uint32_t kind, Bitboard reachable_kind, bool quiet) {
        const std::uint32_t piece = us + kind;
        const Bitboard checks = kind == Piece::knight   ? knight_checks
                                : kind == Piece::bishop ? diagonal_checks
                                : kind == Piece::rook   ? straight_checks
                                                        : straight_checks | diagonal_checks;
        for (Bitboard pieces = p.bitboard(piece); pieces;) {
            const std::uint32_t from = pop_lowest_square(pieces);
            if (!quiet) {
                targets_of[from] = kind == Piece::knight   ? t.knight_attacks(from)
                                   : kind == Piece::bishop ? t.bishop_attacks(from, occupied)
                                   : kind == Piece::rook   ? t.rook_attacks(from, occupied)
                                                           : t.queen_attacks(from, occupied);
            }
            // A discovering knight or slider always checks: it cannot stay on its line
            // without checking directly.
            const Bitboard checking = (discovering & square_table[from]) ? ~Bitboard{0} : checks;
            for (Bitboard targets = targets_of[from] & reachable_kind & allowed(from); targets;) {
                const std::uint32_t to = pop_lowest_square(targets);
                list.push(make(from, to, Move::normal_move, piece, quiet ? 0 : p.piece_on(to).code(),
                               (checking & square_table[to]) != 0));
            }
        }
    };

    const std::uint32_t own_king = us + Piece::king;
    const bool king_discovers = (discovering & king) != 0;
    const auto king_moves = [&](Bitboard reachable_kind, bool quiet) {
        if (!has_king) return;
        const Bitboard without_king = occupied ^ king;
        for (Bitboard targets = t.king_attacks(king_square) & reachable_kind; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const Bitboard to_bit = square_table[to];
            if (p.attackers<!White>(to_bit, without_king, false) != 0) continue;
            const bool check = king_discovers && discovers(without_king | to_bit, own_straight, own_diagonal);
            list.push(make(king_square, to, Move::normal_move, own_king, quiet ? 0 : p.piece_on(to).code(), check));
        }
    };

    piece_moves(Piece::knight, enemy, false);
    piece_moves(Piece::bishop, enemy, false);
    piece_moves(Piece::rook, enemy, false);
    piece_moves(Piece::queen, enemy, false);
    king_moves(enemy, false);
    if (tactical_only) return;

    // ---- Quiet moves ----

    piece_moves(Piece::knight, empty, true);
    piece_moves(Piece::bishop, empty, true);
    piece_moves(Piece::rook, empty, true);
    piece_moves(Piece::queen, empty, true);

    for (Bitboard pieces = pawns; pieces;) {
        const std::uint32_t from = pop_lowest_square(pieces);
        const Bitboard bit = square_table[from];
        const Bitboard single = pawn_push<White>(bit) & empty;
        const Bitboard pushes = (single | (pawn_push<White>(single) & empty & double_step_rank)) & ~last_rank & allowed(from);
        const bool discoverer = (discovering & bit) != 0;
        for (Bitboard targets = pushes; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const Bitboard to_bit = square_table[to];
            const bool check = (pawn_checks & to_bit) != 0 ||
                               (discoverer && discovers(occupied ^ bit ^ to_bit, own_straight, own_diagonal));
            list.push(make(from, to, Move::normal_move, pawn, 0, check));
        }
    }

    king_moves(empty, true);

    // Castling: one right per rook square, taken by ascending square. The king must stand
    // on its first rank and the own rook on the right's square, so that rights left over
    // from a bad FEN text never move pieces that are not there.
    const std::uint32_t base = White ? 0 : 56;
    std::uint32_t rights = White ? entry.castling_rights & 0xFF : entry.castling_rights >> 8;
    if (!has_king || (king_square & 56) != base || checkers != 0) rights = 0;
    const std::uint32_t own_rook = us + Piece::rook;
    for (std::uint32_t file = 0; file < 8; ++file) {
        if ((rights & (1u << file)) == 0) continue;
        const std::uint32_t rook_square = base + file;
        if (p.piece_on(rook_square).code() != own_rook) continue;
        const auto [king_to, rook_to] = castling_destinations(base, rook_square > king_square);
        const Bitboard rook_bit = square_table[rook_square];
        const Bitboard others = occupied & ~king & ~rook_bit;
        const Bitboard king_path = t.segment(king_square, king_to);
        if ((t.segment(rook_square, rook_to) | king_path) & others) continue;
        bool attacked = false;
        for (Bitboard path = king_path; path && !attacked;)
            attacked = p.attackers<!White>(square_table[pop_lowest_square(path)], occupied, false) != 0;
        if (attacked) continue;
        // A rook the castling rook used to shield must not see the king's new square.
        if (t.rook_attacks(king_to, others) & enemy_straight) continue;
        const Bitboard after = others | square_table[king_to] | square_table[rook_to];
        const bool check = discovers(after, (own_straight & ~rook_bit) | square_table[rook_to], own_diagonal);
        list.push(make(king_square, rook_square, Move::castling, own_king, 0, check));
    }
}

template void MoveGenerator::generate_for<true>(MoveList&, bool) const;
template void MoveGenerator::generate_for<false>(MoveList&, bool) const;
