#include "board/move_generator.h"

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"

namespace vorline {

namespace {

inline Move make(std::uint32_t from, std::uint32_t to, std::uint32_t code, std::uint32_t piece,
                 std::uint32_t capture, bool check) {
    return Move::from_word(Move(from, to, code, piece, capture).word() |
                           (check ? Move::check_bit : 0));
}

// What one generation for the side to move reads from the position, gathered once: the
// occupancy, both kings, the sliders of both sides, the own pinned and discovering pieces,
// the checkers, and the moves of every kind of piece with their legality tests and check
// bits. Full generation, the filtered form and counting all go through it, so they agree.
template <bool White>
struct Mover {
    static constexpr std::uint32_t us = White ? 0 : Piece::black_bit;
    static constexpr std::uint32_t them = White ? Piece::black_bit : 0;
    static constexpr std::uint32_t pawn = us + Piece::pawn;
    static constexpr std::uint32_t own_king = us + Piece::king;
    static constexpr Bitboard last_rank = White ? rank_8 : rank_1;
    static constexpr Bitboard double_step_rank = White ? rank_4 : rank_5;
    static constexpr Bitboard en_passant_rank = White ? rank_6 : rank_3;

    const ChessPosition& p;
    const AttackTables& t;
    const HistoryEntry& entry;
    Bitboard occupied, own, enemy, empty;
    Bitboard pinned, discovering;
    Bitboard king, enemy_king;
    std::uint32_t king_square, enemy_king_square;
    bool has_king, has_enemy_king;
    Bitboard checkers, evasion;

    Mover(const ChessPosition& position, const AttackTables& tables)
        : p(position), t(tables), entry(position.current()) {
        occupied = p.occupied();
        own = White ? p.white_pieces() : p.black_pieces();
        enemy = White ? p.black_pieces() : p.white_pieces();
        empty = ~occupied;
        pinned = entry.pinned_pieces & own;
        discovering = entry.discovering_pieces & own;
        king = p.bitboard(own_king);
        king_square = lowest_square(king);
        enemy_king_square = lowest_square(p.bitboard(them + Piece::king));
        enemy_king = square_table[enemy_king_square];  // empty when there is none
        has_king = king_square != no_square;
        has_enemy_king = enemy_king_square != no_square;
        // Checkers are taken from the board, so a wrong check flag cannot let an illegal
        // move through. In check, other pieces must capture the checker or block its
        // line; in double check only the king moves.
        checkers = has_king ? p.attackers<!White>(king, occupied, false) : 0;
        evasion = ~Bitboard{0};
        if (checkers != 0)
            evasion = without_lowest(checkers) != 0
                          ? 0
                          : t.segment(king_square, lowest_square_nonempty(checkers));
    }

    // Rook and bishop movers of each side: read only where a pin or a discovered check is
    // looked into, which most moves never need.
    Bitboard own_straight() const {
        return p.bitboard(us + Piece::rook) | p.bitboard(us + Piece::queen);
    }
    Bitboard own_diagonal() const {
        return p.bitboard(us + Piece::bishop) | p.bitboard(us + Piece::queen);
    }
    Bitboard enemy_straight() const {
        return p.bitboard(them + Piece::rook) | p.bitboard(them + Piece::queen);
    }
    Bitboard enemy_diagonal() const {
        return p.bitboard(them + Piece::bishop) | p.bitboard(them + Piece::queen);
    }

    // Destinations a non-king piece on `from` may reach: a pinned piece stays on the line
    // between its king and the pinner (the pinner's square included), and cannot move at
    // all in check, since that line meets the checker's only at the king.
    Bitboard allowed(std::uint32_t from) const {
        const Bitboard bit = square_table[from];
        if ((pinned & bit) == 0) return evasion;
        if (checkers != 0) return 0;
        const Bitboard line =
            t.pin_line(king_square, bit, occupied, enemy_straight(), enemy_diagonal());
        return line != 0 ? line : evasion;
    }

    // Whether own sliders see the enemy king once the occupancy has become `after`.
    bool discovers(Bitboard after, Bitboard straight, Bitboard diagonal) const {
        return has_enemy_king && ((t.rook_attacks(enemy_king_square, after) & straight) |
                                  (t.bishop_attacks(enemy_king_square, after) & diagonal)) != 0;
    }
    bool discovers(Bitboard after) const {
        return discovers(after, own_straight(), own_diagonal());
    }

    // Squares from which a piece of `kind` would attack the enemy king.
    Bitboard checks_of(std::uint32_t kind) const {
        if (kind == Piece::pawn) return pawn_attacks<!White>(enemy_king);
        if (!has_enemy_king) return 0;
        switch (kind) {
            case Piece::knight:
                return t.knight_attacks(enemy_king_square);
            case Piece::bishop:
                return t.bishop_attacks(enemy_king_square, occupied);
            case Piece::rook:
                return t.rook_attacks(enemy_king_square, occupied);
            default:
                return t.queen_attacks(enemy_king_square, occupied);
        }
    }

    Bitboard attacks_of(std::uint32_t kind, std::uint32_t from) const {
        switch (kind) {
            case Piece::knight:
                return t.knight_attacks(from);
            case Piece::bishop:
                return t.bishop_attacks(from, occupied);
            case Piece::rook:
                return t.rook_attacks(from, occupied);
            default:
                return t.queen_attacks(from, occupied);
        }
    }

    // The en passant square, when an enemy pawn can just have passed over it.
    Bitboard en_passant_target() const {
        const std::uint32_t ep_square = entry.en_passant_square;
        if (ep_square != no_square && (square_table[ep_square] & en_passant_rank & empty) != 0 &&
            p.piece_on(White ? ep_square - 8 : ep_square + 8).code() == them + Piece::pawn)
            return square_table[ep_square];
        return 0;
    }

    // Whether the pawn on `from` may take en passant onto `target`. Both pawns leave their
    // squares: the own king is tested against the occupancy after the capture (returned in
    // `after`), the captured pawn no longer counting as an attacker.
    bool en_passant_legal(std::uint32_t from, Bitboard target, Bitboard& after) const {
        const Bitboard victim = pawn_push<!White>(target);
        after = (occupied ^ square_table[from] ^ victim) | target;
        return !has_king || (p.attackers<!White>(king, after, false) & ~victim) == 0;
    }

    // One pawn's captures, en passant capture and promotions, to `destinations` only.
    [[gnu::always_inline]] void pawn_tactical(MoveList& list, std::uint32_t from,
                                              Bitboard destinations, Bitboard ep_target,
                                              Bitboard pawn_checks) const {
        const Bitboard bit = square_table[from];
        const Bitboard attacks = pawn_attacks<White>(bit);
        const Bitboard mask = allowed(from) & destinations;
        const bool discoverer = (discovering & bit) != 0;
        const Bitboard captures = attacks & enemy & mask;

        for (Bitboard targets = captures & ~last_rank; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const bool check =
                (pawn_checks & square_table[to]) != 0 || (discoverer && discovers(occupied ^ bit));
            list.push(make(from, to, Move::normal_move, pawn, p.piece_on(to).code(), check));
        }

        if (attacks & ep_target & destinations) {
            Bitboard after;
            if (en_passant_legal(from, ep_target, after)) {
                const bool check = (pawn_checks & ep_target) != 0 || discovers(after);
                list.push(make(from, lowest_square_nonempty(ep_target), Move::en_passant, pawn,
                               them + Piece::pawn, check));
            }
        }

        const Bitboard promotions = (captures | (pawn_push<White>(bit) & empty & mask)) & last_rank;
        for (Bitboard targets = promotions; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const Bitboard after = (occupied ^ bit) | square_table[to];
            const std::uint32_t capture = p.piece_on(to).code();
            const bool discovered = discoverer && discovers(after);
            const bool straight = (t.rook_attacks(to, after) & enemy_king) != 0;
            const bool diagonal = (t.bishop_attacks(to, after) & enemy_king) != 0;
            const bool knight = (t.knight_attacks(to) & enemy_king) != 0;
            list.push(make(from, to, Move::promo_queen, pawn, capture,
                           discovered || straight || diagonal));
            list.push(make(from, to, Move::promo_rook, pawn, capture, discovered || straight));
            list.push(make(from, to, Move::promo_bishop, pawn, capture, discovered || diagonal));
            list.push(make(from, to, Move::promo_knight, pawn, capture, discovered || knight));
        }
    }

    // One pawn's single and double pushes that do not reach the last rank.
    [[gnu::always_inline]] void pawn_pushes(MoveList& list, std::uint32_t from,
                                            Bitboard destinations, Bitboard pawn_checks) const {
        const Bitboard bit = square_table[from];
        const Bitboard single = pawn_push<White>(bit) & empty;
        const Bitboard pushes = (single | (pawn_push<White>(single) & empty & double_step_rank)) &
                                ~last_rank & allowed(from) & destinations;
        const bool discoverer = (discovering & bit) != 0;
        for (Bitboard targets = pushes; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const Bitboard to_bit = square_table[to];
            const bool check =
                (pawn_checks & to_bit) != 0 || (discoverer && discovers(occupied ^ bit ^ to_bit));
            list.push(make(from, to, Move::normal_move, pawn, 0, check));
        }
    }

    // Moves of the knights, bishops, rooks or queens among `origins` to `reachable`. The
    // capture pass fills `targets_of` with each piece's attacks; the quiet pass reuses them.
    template <std::uint32_t kind>
    [[gnu::always_inline]] void piece_moves(MoveList& list, Bitboard origins, Bitboard reachable,
                                            Bitboard checks, bool quiet,
                                            Bitboard* targets_of) const {
        const std::uint32_t piece = us + kind;
        for (Bitboard pieces = origins; pieces;) {
            const std::uint32_t from = pop_lowest_square(pieces);
            if (!quiet) targets_of[from] = attacks_of(kind, from);
            // A discovering knight or slider always checks: it cannot stay on its line
            // without checking directly.
            const Bitboard checking = (discovering & square_table[from]) ? ~Bitboard{0} : checks;
            for (Bitboard targets = targets_of[from] & reachable & allowed(from); targets;) {
                const std::uint32_t to = pop_lowest_square(targets);
                list.push(make(from, to, Move::normal_move, piece,
                               quiet ? 0 : p.piece_on(to).code(),
                               (checking & square_table[to]) != 0));
            }
        }
    }

    bool king_may_go(Bitboard to_bit) const {
        return p.attackers<!White>(to_bit, occupied ^ king, false) == 0;
    }

    [[gnu::always_inline]] void king_moves(MoveList& list, Bitboard reachable, bool quiet) const {
        if (!has_king) return;
        const bool king_discovers = (discovering & king) != 0;
        for (Bitboard targets = t.king_attacks(king_square) & reachable; targets;) {
            const std::uint32_t to = pop_lowest_square(targets);
            const Bitboard to_bit = square_table[to];
            if (!king_may_go(to_bit)) continue;
            const bool check = king_discovers && discovers((occupied ^ king) | to_bit);
            list.push(make(king_square, to, Move::normal_move, own_king,
                           quiet ? 0 : p.piece_on(to).code(), check));
        }
    }

    // Calls emit(castling move) for each legal castling: one right per rook square, taken
    // by ascending square. The king must stand on its first rank and the own rook on the
    // right's square, so that rights left over from a bad FEN text never move pieces that
    // are not there.
    template <class Emit>
    void castlings(Emit&& emit) const {
        const std::uint32_t base = White ? 0 : 56;
        Bitboard rights = White ? entry.castling_rights & 0xFF : entry.castling_rights >> 8;
        if (!has_king || (king_square & 56) != base || checkers != 0) return;
        const std::uint32_t own_rook = us + Piece::rook;
        while (rights) {
            const std::uint32_t rook_square = base + pop_lowest_square(rights);
            if (p.piece_on(rook_square).code() != own_rook) continue;
            const auto [king_to, rook_to] = castling_destinations(base, rook_square > king_square);
            const Bitboard rook_bit = square_table[rook_square];
            const Bitboard others = occupied & ~king & ~rook_bit;
            const Bitboard king_path = t.segment(king_square, king_to);
            if ((t.segment(rook_square, rook_to) | king_path) & others) continue;
            bool attacked = false;
            for (Bitboard path = king_path; path && !attacked;)
                attacked = p.attackers<!White>(square_table[pop_lowest_square(path)], occupied,
                                               false) != 0;
            if (attacked) continue;
            // A rook the castling rook used to shield must not see the king's new square.
            if (t.rook_attacks(king_to, others) & enemy_straight()) continue;
            const Bitboard after = others | square_table[king_to] | square_table[rook_to];
            const bool check = discovers(
                after, (own_straight() & ~rook_bit) | square_table[rook_to], own_diagonal());
            emit(make(king_square, rook_square, Move::castling, own_king, 0, check));
        }
    }

    void generate(MoveList& list, bool tactical_only) const {
        const Bitboard pawns = p.bitboard(pawn);
        const Bitboard ep_target = en_passant_target();
        const Bitboard pawn_checks = checks_of(Piece::pawn);
        const Bitboard all = ~Bitboard{0};
        for (Bitboard rest = pawns; rest;)
            pawn_tactical(list, pop_lowest_square(rest), all, ep_target, pawn_checks);

        const Bitboard knight_checks = checks_of(Piece::knight);
        const Bitboard diagonal_checks = checks_of(Piece::bishop);
        const Bitboard straight_checks = checks_of(Piece::rook);
        const Bitboard queen_checks = straight_checks | diagonal_checks;
        Bitboard targets_of[64];
        const auto pieces = [&](Bitboard reachable, bool quiet) {
            piece_moves<Piece::knight>(list, p.bitboard(us + Piece::knight), reachable,
                                       knight_checks, quiet, targets_of);
            piece_moves<Piece::bishop>(list, p.bitboard(us + Piece::bishop), reachable,
                                       diagonal_checks, quiet, targets_of);
            piece_moves<Piece::rook>(list, p.bitboard(us + Piece::rook), reachable, straight_checks,
                                     quiet, targets_of);
            piece_moves<Piece::queen>(list, p.bitboard(us + Piece::queen), reachable, queen_checks,
                                      quiet, targets_of);
        };
        pieces(enemy, false);
        king_moves(list, enemy, false);
        if (tactical_only) return;

        pieces(empty, true);
        for (Bitboard rest = pawns; rest;)
            pawn_pushes(list, pop_lowest_square(rest), all, pawn_checks);
        king_moves(list, empty, true);
        castlings([&list](Move move) { list.push(move); });
    }

    void generate(MoveList& list, std::uint32_t kind, std::uint32_t to) const {
        const Bitboard to_bit = square_table[to];
        switch (kind) {
            case Piece::pawn: {
                // Captures onto an enemy piece; en passant captures and pushes onto an empty
                // square. Each phase takes its pawns by ascending square, as the full list.
                const Bitboard pawns = p.bitboard(pawn);
                const Bitboard capturers = pawn_attacks<!White>(to_bit) & pawns;
                const Bitboard pawn_checks = checks_of(Piece::pawn);
                if (to_bit & enemy) {
                    for (Bitboard rest = capturers; rest;)
                        pawn_tactical(list, pop_lowest_square(rest), to_bit, 0, pawn_checks);
                } else if (to_bit & empty) {
                    if (const Bitboard ep_target = en_passant_target() & to_bit; ep_target != 0)
                        for (Bitboard rest = capturers; rest;)
                            pawn_tactical(list, pop_lowest_square(rest), to_bit, ep_target,
                                          pawn_checks);
                    const Bitboard one_back = pawn_push<!White>(to_bit);
                    const Bitboard pushers =
                        (one_back | pawn_push<!White>(one_back & empty)) & pawns;
                    for (Bitboard rest = pushers; rest;) {
                        const std::uint32_t from = pop_lowest_square(rest);
                        if (to_bit & last_rank)
                            pawn_tactical(list, from, to_bit, 0, pawn_checks);
                        else
                            pawn_pushes(list, from, to_bit, pawn_checks);
                    }
                }
                break;
            }
            case Piece::knight:
            case Piece::bishop:
            case Piece::rook:
            case Piece::queen: {
                // A piece reaches the square exactly when the same piece on the square sees it.
                const Bitboard origins = attacks_of(kind, to) & p.bitboard(us + kind);
                if (origins == 0 || (to_bit & own) != 0) break;
                const Bitboard checks = checks_of(kind);
                const std::uint32_t capture = p.piece_on(to).code();
                for (Bitboard rest = origins; rest;) {
                    const std::uint32_t from = pop_lowest_square(rest);
                    if ((allowed(from) & to_bit) == 0) continue;
                    // As in piece_moves: a discovering piece always checks.
                    const bool check =
                        (discovering & square_table[from]) != 0 || (checks & to_bit) != 0;
                    list.push(make(from, to, Move::normal_move, us + kind, capture, check));
                }
                break;
            }
            case Piece::king:
                king_moves(list, to_bit & enemy, false);
                king_moves(list, to_bit & empty, true);
                if (to_bit & p.bitboard(us + Piece::rook))
                    castlings([&list, to](Move move) {
                        if (move.to_index() == to) list.push(move);
                    });
                break;
            default:
                break;
        }
    }

    // The moves of one pawn, counted as a set: pushes and captures, four for each that
    // reaches the last rank.
    static std::size_t pawn_count(Bitboard destinations) {
        return popcount(destinations & ~last_rank) + 4 * popcount(destinations & last_rank);
    }

    std::size_t count() const {
        std::size_t n = 0;
        if (evasion != 0) {
            // Pawns that are not pinned, all at once.
            const Bitboard pawns = p.bitboard(pawn);
            const Bitboard free_pawns = pawns & ~pinned;
            const Bitboard single = pawn_push<White>(free_pawns) & empty;
            const Bitboard double_steps = pawn_push<White>(single) & empty & double_step_rank;
            const Bitboard targets = enemy & evasion;
            const Bitboard west =
                White ? (free_pawns << 7) & not_file_h : (free_pawns >> 9) & not_file_h;
            const Bitboard east =
                White ? (free_pawns << 9) & not_file_a : (free_pawns >> 7) & not_file_a;
            n += pawn_count(single & evasion) + popcount(double_steps & evasion) +
                 pawn_count(west & targets) + pawn_count(east & targets);
            for (Bitboard rest = pawns & pinned; rest;) {
                const std::uint32_t from = pop_lowest_square(rest);
                const Bitboard bit = square_table[from];
                const Bitboard one = pawn_push<White>(bit) & empty;
                n += pawn_count((one | (pawn_push<White>(one) & empty & double_step_rank) |
                                 (pawn_attacks<White>(bit) & enemy)) &
                                allowed(from));
            }
            const Bitboard reachable = ~own & evasion;
            for (Bitboard rest = p.bitboard(us + Piece::knight) & ~pinned; rest;)
                n += popcount(t.knight_attacks(pop_lowest_square(rest)) & reachable);
            const Bitboard diagonal =
                p.bitboard(us + Piece::bishop) | p.bitboard(us + Piece::queen);
            const Bitboard straight = p.bitboard(us + Piece::rook) | p.bitboard(us + Piece::queen);
            for (Bitboard rest = diagonal & ~pinned; rest;)
                n += popcount(t.bishop_attacks(pop_lowest_square(rest), occupied) & reachable);
            for (Bitboard rest = straight & ~pinned; rest;)
                n += popcount(t.rook_attacks(pop_lowest_square(rest), occupied) & reachable);
            for (Bitboard rest = (p.bitboard(us + Piece::knight) | diagonal | straight) & pinned;
                 rest;) {
                const std::uint32_t from = pop_lowest_square(rest);
                n += popcount(attacks_of(p.piece_on(from).kind(), from) & ~own & allowed(from));
            }
        }
        if (const Bitboard ep_target = en_passant_target(); ep_target != 0) {
            for (Bitboard rest = pawn_attacks<!White>(ep_target) & p.bitboard(pawn); rest;) {
                Bitboard after;
                n += en_passant_legal(pop_lowest_square(rest), ep_target, after) ? 1 : 0;
            }
        }
        if (has_king) {
            for (Bitboard rest = t.king_attacks(king_square) & ~own; rest;)
                n += king_may_go(square_table[pop_lowest_square(rest)]) ? 1 : 0;
        }
        castlings([&n](Move) { ++n; });
        return n;
    }
};

}  // namespace

void MoveGenerator::generate(MoveList& list, bool tactical_only) const {
    list.reset();
    list.set_position(&position_);
    if (position_.white_to_move())
        Mover<true>(position_, tables_).generate(list, tactical_only);
    else
        Mover<false>(position_, tables_).generate(list, tactical_only);
}

void MoveGenerator::generate(MoveList& list, std::uint32_t kind, std::uint32_t to) const {
    list.reset();
    list.set_position(&position_);
    if (to >= 64) return;
    if (position_.white_to_move())
        Mover<true>(position_, tables_).generate(list, kind, to);
    else
        Mover<false>(position_, tables_).generate(list, kind, to);
}

std::size_t MoveGenerator::count() const {
    if (position_.white_to_move()) return Mover<true>(position_, tables_).count();
    return Mover<false>(position_, tables_).count();
}

}  // namespace vorline
