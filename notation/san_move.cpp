#include "notation/san_move.h"

#include <cstddef>

#include "board/chess_position.h"
#include "board/move_list.h"
#include "notation/san_error.h"

namespace vorline {

namespace {

bool is_file_letter(char c) { return c >= 'a' && c <= 'h'; }
bool is_rank_digit(char c) { return c >= '1' && c <= '8'; }

// The piece a token names by its first letter; a pawn when it starts with no piece letter.
std::uint32_t piece_kind_of_token(std::string_view token) {
    const std::uint32_t kind = token.empty() ? 0 : Piece::kind_of_letter(token[0]);
    return kind != 0 ? kind : Piece::pawn;
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
            case 'Q':
                fields.promotion = Move::promo_queen;
                break;
            case 'R':
                fields.promotion = Move::promo_rook;
                break;
            case 'B':
                fields.promotion = Move::promo_bishop;
                break;
            case 'N':
                fields.promotion = Move::promo_knight;
                break;
            default:
                throw SanError("SanMove operator=(): wrong promotion format");
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
    move_ = read(*position_, text_);
    return *this;
}

namespace {

// The first legal move the token names, in the order of the generated list; the empty move
// if none. Only the moves of the named piece kind to the named square are generated.
Move find_legal_move(const ChessPosition& position, std::string_view text,
                     const TokenFields& fields) {
    MoveList moves;
    // A castling token never has a destination square.
    if (fields.to_file != 0 && fields.to_rank != 0) {
        const std::uint32_t to =
            std::uint32_t(fields.to_file - 'a') + 8 * std::uint32_t(fields.to_rank - '1');
        position.generate_legal_moves(moves, piece_kind_of_token(text), to);
        const std::uint32_t file = std::uint32_t(fields.from_file - 'a');
        const std::uint32_t rank = std::uint32_t(fields.from_rank - '1');
        for (const Move& m : moves) {
            if (fields.from_file != 0 && (m.from_index() & 7) != file) continue;
            if (fields.from_rank != 0 && (m.from_index() >> 3) != rank) continue;
            // A promotion suffix names one promotion move; it never turns another move into
            // a promotion. Without a suffix the first candidate (the queen) is taken.
            if (fields.promotion != 0 && m.code() != fields.promotion) continue;
            return m;
        }
    } else if (is_king_side_castling_token(text) || is_queen_side_castling_token(text)) {
        // Castling is stored as the king taking its own rook: only the king's moves onto
        // the squares of the side's castling rights are generated, by ascending square as
        // in the full list.
        const bool king_side = is_king_side_castling_token(text);
        const bool white = position.white_to_move();
        const std::uint32_t rights = position.castling_rights();
        for (Bitboard files = white ? rights & 0xFF : rights >> 8; files;) {
            const std::uint32_t file = pop_lowest_square(files);
            position.generate_legal_moves(moves, Piece::king, (white ? 0 : 56) + file);
            for (const Move& m : moves)
                if (m.is_castling() && m.is_king_side_castling() == king_side) return m;
        }
    }
    return Move();
}

}  // namespace

Move SanMove::read(const ChessPosition& position, std::string_view token) {
    const Move found = find_legal_move(position, token, parse_token(token));
    if (found.is_empty()) fail_illegal(position, token);
    return Move::from_word(found.word() & Move::move_bits);
}

bool SanMove::assign_legal(Move wanted) {
    const ChessPosition& p = *position_;
    const std::uint32_t from = wanted.from_index();
    const std::uint32_t to = wanted.to_index();
    const Piece piece = p.piece_on(from);
    Move found;
    MoveList moves;
    // Castling is stored as the king taking its own rook, so it is among the king's moves
    // to the rook's square.
    if (piece.is_present() && piece.is_white() == p.white_to_move())
        p.generate_legal_moves(moves, piece.kind(), to);
    for (const Move& m : moves) {
        if (m.from_index() == from && m.to_index() == to && m.code() == wanted.code()) {
            found = m;
            break;
        }
    }
    move_ = Move::from_word(found.word() & Move::move_bits);
    if (found.is_empty()) {
        text_.clear();
        return false;
    }
    write();
    return true;
}

void SanMove::fail_illegal(const ChessPosition& position, std::string_view token) {
    throw SanError("SanMove operator=(string): illegal move \"" + std::string(token) +
                   "\"\nfen()=" + position.fen());
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
        case Piece::knight:
            return (tables.knight_attacks(to) & rivals) != 0;
        case Piece::bishop:
            return (tables.bishop_attacks(to, occupied) & rivals) != 0;
        case Piece::rook:
            return (tables.rook_attacks(to, occupied) & rivals) != 0;
        case Piece::queen:
            return (tables.queen_attacks(to, occupied) & rivals) != 0;
        case Piece::king:
            return (tables.king_attacks(to) & rivals) != 0;
        default:
            return false;
    }
}

// Writes what of the origin square the move's SAN must show ("", file, rank or both) so
// that no other legal move of the same piece code to the same square reads the same.
std::size_t write_origin(const ChessPosition& position, Move move, char* out) {
    if (!has_rival_attackers(position, move)) return 0;
    MoveList moves;
    position.generate_legal_moves(moves, move.piece().kind(), move.to_index());
    const Square from = move.from();
    bool any = false, same_file = false, same_rank = false;
    for (const Move& m : moves) {
        if (m.from_index() == from.value()) continue;
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
    const bool mate = position_->count_legal_moves() == 0;
    position_->unmake_move();
    return mate;
}

}  // namespace vorline
