#include "notation/san_move.h"

#include <cstddef>

#include "board/chess_position.h"
#include "board/move_list.h"
#include "notation/san_error.h"

namespace {

bool is_file_letter(char c) { return c >= 'a' && c <= 'h'; }
bool is_rank_digit(char c) { return c >= '1' && c <= '8'; }

// Piece letters "B" to "R" by (letter - 'B'): B, K, N, Q and R name their pieces; every
// other letter in that range, like every character outside it, means a pawn.
constexpr std::string_view piece_letter_table = "BPPPPPPPPKPPNPPQR";

std::uint32_t piece_kind_of_token(std::string_view token) {
    if (token.empty() || token[0] < 'B' || token[0] > 'R') return Piece::pawn;
    switch (piece_letter_table[std::size_t(token[0] - 'B')]) {
        case 'N': return Piece::knight;
        case 'B': return Piece::bishop;
        case 'R': return Piece::rook;
        case 'Q': return Piece::queen;
        case 'K': return Piece::king;
        default: return Piece::pawn;
    }
}

// Castling is recognised only in these exact whole tokens.
bool is_king_side_castling_token(std::string_view token) {
    return token == "O-O" || token == "O-O+" || token == "O-O#";
}
bool is_queen_side_castling_token(std::string_view token) {
    return token == "O-O-O" || token == "O-O-O+" || token == "O-O-O#";
}

// What the token says besides the moving piece; 0 stands for "not given".
struct TokenFields {
    std::uint32_t promotion = 0;  // a promotion code of Move
    char to_file = 0, to_rank = 0;
    char from_file = 0, from_rank = 0;
};

// Takes the token apart from its end towards its start.
TokenFields parse_token(std::string_view work) {
    TokenFields fields;
    auto last = [&work] { return work.empty() ? '\0' : work.back(); };
    auto drop = [&work] { work.remove_suffix(1); };

    while (last() == ' ' || last() == '!' || last() == '?') drop();
    // One check or mate mark. The move's check bit comes from the generator, not from
    // the mark: a game that leaves out or adds a "+" must not corrupt the position's
    // in-check flag, which legal-move generation relies on.
    if (last() == '+' || last() == '#') drop();
    if (last() == ')') throw SanError("SanMove operator=(): Illegal character found");

    if (work.size() >= 2 && work[work.size() - 2] == '=') {
        switch (last()) {
            case 'Q': fields.promotion = Move::promo_queen; break;
            case 'R': fields.promotion = Move::promo_rook; break;
            case 'B': fields.promotion = Move::promo_bishop; break;
            case 'N': fields.promotion = Move::promo_knight; break;
            default: throw SanError("SanMove operator=(): wrong promotion format");
        }
        work.remove_suffix(2);
    }

    if (is_rank_digit(last())) {
        fields.to_rank = last();
        drop();
    }
    if (is_file_letter(last())) {
        fields.to_file = last();
        drop();
    }
    // Without a destination rank the destination file may be taken but no move matches,
    // so the origin hints need not be read.
    if (fields.to_rank == 0) return fields;

    if (last() == 'x') drop();  // the capture mark is not checked against the move
    if (is_rank_digit(last())) {
        fields.from_rank = last();
        drop();
    }
    if (is_file_letter(last())) fields.from_file = last();
    return fields;
}

}  // namespace

SanMove::SanMove(ChessPosition& position, std::string_view token) : position_(&position) {
    *this = token;
}

SanMove::SanMove(ChessPosition& position, Move move) : position_(&position) {
    move_ = Move::from_word(move.word() & Move::move_bits);
    write();
}

SanMove& SanMove::operator=(std::string_view token) {
    text_.assign(token);
    move_.clear();
    resolve(true);
    return *this;
}

namespace {

// Resolves a token with a destination square by looking only at the pieces of the named
// kind that can reach it, instead of generating every legal move. Legality and the check
// bit are decided with the same tests, on the same data, as MoveGenerator does, so the
// move equals the one the generator would give. Succeeds only when exactly one legal move
// matches (for a promotion without suffix: one pawn, whose queen promotion comes first);
// every other case is left to the full generation, which picks the first match in list
// order and words the errors.
template <bool White>
bool resolve_directly(const ChessPosition& p, std::uint32_t kind, const TokenFields& fields, Move& out) {
    const AttackTables& t = p.tables();
    constexpr std::uint32_t us = White ? 0 : Piece::black_bit;
    constexpr std::uint32_t them = White ? Piece::black_bit : 0;
    constexpr Bitboard last_rank = White ? rank_8 : rank_1;
    constexpr Bitboard double_step_rank = White ? rank_4 : rank_5;
    constexpr Bitboard en_passant_rank = White ? rank_6 : rank_3;

    const Bitboard king = p.bitboard(us + Piece::king);
    const Bitboard enemy_king = p.bitboard(them + Piece::king);
    // Boards without exactly one king of each colour are left to the generator.
    if (king == 0 || without_lowest(king) != 0 || enemy_king == 0 || without_lowest(enemy_king) != 0)
        return false;
    if (fields.promotion != 0 && kind != Piece::pawn) return false;

    const std::uint32_t to = std::uint32_t(fields.to_file - 'a') + 8 * std::uint32_t(fields.to_rank - '1');
    const Bitboard to_bit = square_table[to];
    const Bitboard occupied = p.occupied();
    const Bitboard own = White ? p.white_pieces() : p.black_pieces();
    const Bitboard enemy = White ? p.black_pieces() : p.white_pieces();
    if ((own & to_bit) != 0) return false;

    Bitboard hints = ~Bitboard{0};
    if (fields.from_file != 0) hints &= file_mask(unsigned(fields.from_file - 'a'));
    if (fields.from_rank != 0) hints &= rank_mask(unsigned(fields.from_rank - '1'));

    const std::uint32_t piece = us + kind;
    const Bitboard pieces = p.bitboard(piece);
    const HistoryEntry& entry = p.current();

    // Candidate origins, before legality.
    Bitboard candidates = 0;
    Bitboard en_passant_from = 0;
    switch (kind) {
        case Piece::knight: candidates = t.knight_attacks(to) & pieces; break;
        case Piece::bishop: candidates = t.bishop_attacks(to, occupied) & pieces; break;
        case Piece::rook: candidates = t.rook_attacks(to, occupied) & pieces; break;
        case Piece::queen: candidates = t.queen_attacks(to, occupied) & pieces; break;
        case Piece::king: candidates = t.king_attacks(to) & pieces; break;
        default: {
            if (fields.promotion != 0 && (to_bit & last_rank) == 0) return false;
            if ((to_bit & enemy) != 0) {
                candidates = pawn_attacks<!White>(to_bit) & pieces;
            } else {
                const Bitboard single = pawn_push<!White>(to_bit);
                candidates = single & pieces;
                if ((to_bit & double_step_rank) != 0 && (single & occupied) == 0)
                    candidates |= pawn_push<!White>(single) & pieces;
                // An en passant square counts only where an enemy pawn can just have
                // passed over it.
                const std::uint32_t ep_square = entry.en_passant_square;
                if (ep_square == to && (to_bit & en_passant_rank) != 0 &&
                    p.piece_on(White ? ep_square - 8 : ep_square + 8).code() == them + Piece::pawn)
                    en_passant_from = pawn_attacks<!White>(to_bit) & pieces & hints;
            }
            break;
        }
    }
    candidates &= hints;
    if ((candidates | en_passant_from) == 0) return false;

    const std::uint32_t king_square = lowest_square_nonempty(king);
    const std::uint32_t enemy_king_square = lowest_square_nonempty(enemy_king);
    const Bitboard enemy_queens = p.bitboard(them + Piece::queen);
    const Bitboard enemy_straight = p.bitboard(them + Piece::rook) | enemy_queens;
    const Bitboard enemy_diagonal = p.bitboard(them + Piece::bishop) | enemy_queens;
    const Bitboard checkers = p.attackers<!White>(king, occupied, false);

    // Which candidates may legally move to `to`.
    Bitboard legal = 0;
    if (kind == Piece::king) {
        if (candidates != 0 && p.attackers<!White>(to_bit, occupied ^ king, false) == 0) legal = candidates;
    } else if (candidates != 0) {
        Bitboard evasion = ~Bitboard{0};
        if (checkers != 0)
            evasion = without_lowest(checkers) != 0 ? 0 : t.segment(king_square, lowest_square_nonempty(checkers));
        const Bitboard pinned = entry.pinned_pieces & own;
        for (Bitboard rest = candidates; rest;) {
            const std::uint32_t from = pop_lowest_square(rest);
            const Bitboard bit = square_table[from];
            Bitboard allowed = evasion;
            if ((pinned & bit) != 0) {
                if (checkers != 0) allowed = 0;
                else if (const Bitboard line = t.pin_line(king_square, bit, occupied, enemy_straight, enemy_diagonal); line != 0)
                    allowed = line;
            }
            if ((allowed & to_bit) != 0) legal |= bit;
        }
    }
    // En passant: both pawns leave their squares, so the own king is tested against the
    // occupancy after the capture, the captured pawn no longer counting as an attacker.
    const Bitboard victim_bit = en_passant_from != 0 ? pawn_push<!White>(to_bit) : 0;
    const Bitboard en_passant_after = (occupied ^ victim_bit) | to_bit;
    Bitboard legal_en_passant = 0;
    for (Bitboard rest = en_passant_from; rest;) {
        const std::uint32_t from = pop_lowest_square(rest);
        const Bitboard bit = square_table[from];
        if ((p.attackers<!White>(king, en_passant_after ^ bit, false) & ~victim_bit) == 0)
            legal_en_passant |= bit;
    }
    const Bitboard all_legal = legal | legal_en_passant;
    if (all_legal == 0 || without_lowest(all_legal) != 0) return false;

    // The one move, with its check bit worked out as the generator does.
    const std::uint32_t from = lowest_square_nonempty(all_legal);
    const Bitboard bit = square_table[from];
    const Bitboard discovering = entry.discovering_pieces & own;
    const Bitboard own_queens = p.bitboard(us + Piece::queen);
    const Bitboard own_straight = p.bitboard(us + Piece::rook) | own_queens;
    const Bitboard own_diagonal = p.bitboard(us + Piece::bishop) | own_queens;
    const auto discovers = [&](Bitboard after) {
        return ((t.rook_attacks(enemy_king_square, after) & own_straight) |
                (t.bishop_attacks(enemy_king_square, after) & own_diagonal)) != 0;
    };
    const bool discoverer = (discovering & bit) != 0;
    const std::uint32_t capture = p.piece_on(to).code();
    std::uint32_t code = Move::normal_move;
    bool check = false;
    switch (kind) {
        case Piece::king:
            check = discoverer && discovers((occupied ^ king) | to_bit);
            break;
        case Piece::pawn: {
            const Bitboard pawn_checks = pawn_attacks<!White>(enemy_king);
            if (legal_en_passant != 0) {
                code = Move::en_passant;
                const Bitboard after = en_passant_after ^ bit;
                check = (pawn_checks & to_bit) != 0 || discovers(after);
                out = Move::from_word(Move(from, to, code, piece, them + Piece::pawn).word() |
                                      (check ? Move::check_bit : 0));
                return true;
            }
            if ((to_bit & last_rank) != 0) {
                code = fields.promotion != 0 ? fields.promotion : std::uint32_t(Move::promo_queen);
                const Bitboard after = (occupied ^ bit) | to_bit;
                const bool discovered = discoverer && discovers(after);
                const bool straight = (t.rook_attacks(to, after) & enemy_king) != 0;
                const bool diagonal = (t.bishop_attacks(to, after) & enemy_king) != 0;
                const bool knight = (t.knight_attacks(to) & enemy_king) != 0;
                switch (code) {
                    case Move::promo_queen: check = discovered || straight || diagonal; break;
                    case Move::promo_rook: check = discovered || straight; break;
                    case Move::promo_bishop: check = discovered || diagonal; break;
                    default: check = discovered || knight; break;
                }
            } else {
                // A capture leaves the destination occupied; a push fills it.
                const Bitboard after = capture != Piece::no_piece ? occupied ^ bit : occupied ^ bit ^ to_bit;
                check = (pawn_checks & to_bit) != 0 || (discoverer && discovers(after));
            }
            break;
        }
        default: {
            // A discovering knight or slider always checks: it cannot stay on its line
            // without checking directly.
            const Bitboard checks =
                kind == Piece::knight   ? t.knight_attacks(enemy_king_square)
                : kind == Piece::bishop ? t.bishop_attacks(enemy_king_square, occupied)
                : kind == Piece::rook   ? t.rook_attacks(enemy_king_square, occupied)
                                        : t.queen_attacks(enemy_king_square, occupied);
            check = discoverer || (checks & to_bit) != 0;
            break;
        }
    }
    out = Move::from_word(Move(from, to, code, piece, capture).word() | (check ? Move::check_bit : 0));
    return true;
}

// The first generated legal move the token names, in list order; the empty move if none.
Move find_in_generated_moves(const ChessPosition& position, std::string_view text, const TokenFields& fields) {
    MoveList moves;
    position.generate_legal_moves(moves);
    if (is_king_side_castling_token(text) || is_queen_side_castling_token(text)) {
        const bool king_side = is_king_side_castling_token(text);
        for (const Move& m : moves) {
            if (m.is_castling() && m.is_king_side_castling() == king_side) return m;
        }
    } else if (fields.to_file != 0 && fields.to_rank != 0) {
        const std::uint32_t to = std::uint32_t(fields.to_file - 'a') + 8 * std::uint32_t(fields.to_rank - '1');
        const std::uint32_t kind = piece_kind_of_token(text);
        const Piece piece = position.white_to_move() ? kind : kind | Piece::black_bit;
        for (const Move& m : moves) {
            if (m.to_index() != to || m.piece() != piece) continue;
            if (fields.from_file != 0 && m.from().file_letter() != fields.from_file) continue;
            if (fields.from_rank != 0 && m.from().rank_digit() != fields.from_rank) continue;
            // A promotion suffix names one promotion move; it never turns another move into
            // a promotion. Without a suffix the first candidate (the queen) is taken.
            if (fields.promotion != 0 && m.code() != fields.promotion) continue;
            return m;
        }
    }
    return Move();
}

}  // namespace

void SanMove::resolve(bool direct) {
    const TokenFields fields = parse_token(text_);
    Move found;
    bool resolved = false;
    // Castling tokens never carry a destination square, so they always take the full path.
    if (direct && fields.to_file != 0 && fields.to_rank != 0) {
        const std::uint32_t kind = piece_kind_of_token(text_);
        resolved = position_->white_to_move() ? resolve_directly<true>(*position_, kind, fields, found)
                                              : resolve_directly<false>(*position_, kind, fields, found);
    }
    if (!resolved) found = find_in_generated_moves(*position_, text_, fields);
    if (found.is_empty()) fail_illegal();
    move_ = Move::from_word(found.word() & Move::move_bits);
}

SanMove& SanMove::assign_by_generation(std::string_view token) {
    text_.assign(token);
    move_.clear();
    resolve(false);
    return *this;
}

void SanMove::fail_illegal() {
    move_.clear();
    throw SanError("SanMove operator=(string): illegal move \"" + text_ + "\"\nfen()=" +
                           position_->fen());
}

namespace {

// Whether another piece of the mover's code could also go to the move's square. Cheap
// attack test first: a piece that can move to a square attacks it, so with no other
// attacker of that code the legal moves need not be generated.
bool has_rival_attackers(const ChessPosition& position, Move move) {
    const std::uint32_t from = move.from_index();
    const std::uint32_t to = move.to_index();
    const Bitboard rivals = position.bitboard(move.piece().code()) & ~square_table[from];
    if (rivals == 0) return false;
    const AttackTables& tables = position.tables();
    const Bitboard occupied = position.occupied();
    switch (move.piece().kind()) {
        case Piece::knight: return (tables.knight_attacks(to) & rivals) != 0;
        case Piece::bishop: return (tables.bishop_attacks(to, occupied) & rivals) != 0;
        case Piece::rook: return (tables.rook_attacks(to, occupied) & rivals) != 0;
        case Piece::queen: return (tables.queen_attacks(to, occupied) & rivals) != 0;
        case Piece::king: return (tables.king_attacks(to) & rivals) != 0;
        default: return false;
    }
}

// Writes what of the origin square the move's SAN must show ("", file, rank or both) so
// that no other legal move of the same piece code to the same square reads the same.
std::size_t write_origin(const ChessPosition& position, Move move, char* out) {
    if (!has_rival_attackers(position, move)) return 0;
    MoveList moves;
    position.generate_legal_moves(moves);
    const Square from = move.from();
    bool any = false, same_file = false, same_rank = false;
    for (const Move& m : moves) {
        if (m.piece() != move.piece() || m.to_index() != move.to_index() ||
            m.from_index() == from.value())
            continue;
        any = true;
        same_file |= m.from().file() == from.file();
        same_rank |= m.from().rank() == from.rank();
    }
    if (!any) return 0;
    std::size_t n = 0;
    if (!same_file) {
        out[n++] = from.file_letter();
    } else if (!same_rank) {
        out[n++] = from.rank_digit();
    } else {
        out[n++] = from.file_letter();
        out[n++] = from.rank_digit();
    }
    return n;
}

}  // namespace

void SanMove::write() {
    // The longest SAN is 8 characters (Qh4xe1+ or exd8=Q+); the text stays in the
    // string's own buffer, so writing allocates nothing.
    char buffer[16];
    std::size_t n = 0;
    const Move m = move_;
    if (m.code() == Move::nullmove) {
        buffer[n++] = '-';
        buffer[n++] = '-';
    } else if (m.is_castling()) {
        const std::string_view castling = m.is_king_side_castling() ? "O-O" : "O-O-O";
        for (char c : castling) buffer[n++] = c;
    } else {
        const Piece piece = m.piece();
        if (piece.is_pawn()) {
            if (m.is_capture()) buffer[n++] = m.from().file_letter();
        } else {
            buffer[n++] = "?PNBRQK?"[piece.kind()];
            n += write_origin(*position_, m, buffer + n);
        }
        if (m.is_capture()) buffer[n++] = 'x';
        buffer[n++] = m.to().file_letter();
        buffer[n++] = m.to().rank_digit();
        if (m.is_promotion()) {
            buffer[n++] = '=';
            buffer[n++] = "QRBN"[m.code() - Move::promo_queen];
        }
    }
    if (m.check()) buffer[n++] = gives_mate() ? '#' : '+';
    text_.assign(buffer, n);
}

// Whether the side to move has no legal move once the (checking) move is made. The move
// is made and taken back, so the position is the same afterwards.
bool SanMove::gives_mate() const {
    position_->make_move(move_);
    MoveList replies;
    position_->generate_legal_moves(replies);
    position_->unmake_move();
    return replies.empty();
}
