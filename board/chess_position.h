// ChessPosition: the board as bitboards and a square table, with history, key and moves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_tables.h"
#include "board/bitboard.h"
#include "board/board_errors.h"
#include "board/hash_keys.h"
#include "board/history_entry.h"
#include "board/move.h"
#include "board/move_generator.h"
#include "board/piece.h"

namespace vorline {

class MoveList;
class MoveListStack;

// A position refers to the AttackTables it was made with (not owned; they must outlive
// it). It keeps one HistoryEntry per position since it was set up, so moves are taken
// back exactly; the key is kept incrementally and equals the Polyglot book key for
// positions reached by play from a standard set-up.
class ChessPosition {
public:
    static constexpr std::string_view start_fen =
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    static constexpr std::string_view empty_fen = "8/8/8/8/8/8/8/8 w - - 0 1";
    // Room needed by write_fen(char*).
    static constexpr std::size_t max_fen_length = 128;

    explicit ChessPosition(const AttackTables& tables);
    // A copy has its own id and generator and can take back the moves of the original.
    ChessPosition(const ChessPosition& other);
    ChessPosition& operator=(const ChessPosition& other);
    ~ChessPosition();

    // ---- Set-up and FEN ----

    // The empty board, White to move, no rights, a fresh history.
    void clear();
    void set_start_position();
    // Sets the position from a FEN text or an EPD line (operations after the position are
    // ignored). Bad number fields are replaced by 0 and 1. A bad placement (an unknown
    // character, a rank of more than eight squares, more than eight ranks) throws
    // FenError and leaves the position exactly as clear() does.
    void fen(std::string_view text);
    std::string fen() const;
    // The same text written into `out` (at least max_fen_length chars, not terminated);
    // returns its length. Allocates nothing.
    std::size_t write_fen(char* out) const;
    // The same text assigned to `out`, reusing its capacity.
    void write_fen(std::string& out) const;

    // ---- Accessors ----

    std::uint32_t id() const { return id_; }
    const AttackTables& tables() const { return *tables_; }

    std::uint32_t side_to_move() const { return side_to_move_; }
    bool white_to_move() const { return side_to_move_ == 1; }
    bool black_to_move() const { return side_to_move_ == 0; }
    void set_white_to_move() { side_to_move_ = 1; }
    void set_black_to_move() { side_to_move_ = 0; }
    void toggle_side() { side_to_move_ ^= 1; }

    Piece piece_on(std::uint32_t square) const { return board_[square]; }
    Piece piece_on(Bitboard one_square) const { return board_[lowest_square(one_square)]; }
    Bitboard bitboard(std::uint32_t code) const { return piece_bitboards_[code]; }
    Bitboard white_pawns() const { return piece_bitboards_[Piece::white_pawn]; }
    Bitboard white_knights() const { return piece_bitboards_[Piece::white_knight]; }
    Bitboard white_bishops() const { return piece_bitboards_[Piece::white_bishop]; }
    Bitboard white_rooks() const { return piece_bitboards_[Piece::white_rook]; }
    Bitboard white_queens() const { return piece_bitboards_[Piece::white_queen]; }
    Bitboard white_king() const { return piece_bitboards_[Piece::white_king]; }
    Bitboard black_pawns() const { return piece_bitboards_[Piece::black_pawn]; }
    Bitboard black_knights() const { return piece_bitboards_[Piece::black_knight]; }
    Bitboard black_bishops() const { return piece_bitboards_[Piece::black_bishop]; }
    Bitboard black_rooks() const { return piece_bitboards_[Piece::black_rook]; }
    Bitboard black_queens() const { return piece_bitboards_[Piece::black_queen]; }
    Bitboard black_king() const { return piece_bitboards_[Piece::black_king]; }
    Bitboard white_pieces() const { return white_pieces_; }
    Bitboard black_pieces() const { return black_pieces_; }
    Bitboard occupied() const { return occupied_; }

    // Edit the placement only: the key, the history and the other bitboards stay as
    // they are. Unchecked: the square must be 0..63 and the code 0..14.
    void put_piece(std::uint32_t square, std::uint32_t code) {
        piece_bitboards_[code] |= square_table[square];
        board_[square] = code;
        update_summaries();
    }
    void remove_piece(std::uint32_t square, std::uint32_t code) {
        piece_bitboards_[code] &= ~square_table[square];
        board_[square] = Piece::no_piece;
        update_summaries();
    }

    const HistoryEntry& current() const { return history_.back(); }
    std::uint32_t castling_rights() const { return current().castling_rights; }
    void set_castling_rights(std::uint32_t mask) {
        history_.back().castling_rights = std::uint16_t(mask);
    }
    std::uint32_t en_passant_square() const { return current().en_passant_square; }
    std::uint32_t half_move_clock() const { return current().half_move_clock; }
    Move last_move() const { return current().last_move; }
    Piece captured_piece() const { return current().last_move.capture(); }
    std::uint32_t white_king_square() const { return current().white_king_square; }
    std::uint32_t black_king_square() const { return current().black_king_square; }
    Bitboard pinned_pieces() const { return current().pinned_pieces; }
    Bitboard discovering_pieces() const { return current().discovering_pieces; }
    bool in_check() const { return current().in_check != 0; }
    std::uint32_t full_move_number() const { return full_move_number_; }
    std::uint64_t movecounter() const { return movecounter_; }
    const std::string& fen_text() const { return fen_text_; }
    const std::vector<HistoryEntry>& history() const { return history_; }
    const std::vector<std::uint64_t>& repetition_list() const { return repetition_list_; }
    const HashKeys& hash_keys() const { return hash_keys_; }

    // When set, fen() writes castling rights as file letters (AHah) even for the
    // standard rights.
    bool castling_letters() const { return castling_letters_ != 0; }
    void set_castling_letters(bool letters) { castling_letters_ = letters ? 1 : 0; }

    // 900 per queen, 500 per rook, 300 per bishop or knight, both colours.
    int material() const;
    // material() / 6200 and its complement: how far the game is from the endgame.
    float material_share() const { return float(material()) / 6200.0f; }
    float endgame_share() const { return 1.0f - float(material()) / 6200.0f; }

    // Same side, placement, full-move number, and current clock, rights, en passant
    // square and pin sets; earlier history and the repetition list do not count.
    friend bool operator==(const ChessPosition& a, const ChessPosition& b);

    // ---- Position key ----

    std::uint64_t hash() const {
        const HistoryEntry& entry = current();
        return HashKeys::key(hash_keys_.piece_hash(), entry.castling_rights,
                             entry.en_passant_square, white_to_move());
    }
    std::uint64_t pawn_hash() const { return hash_keys_.pawn_hash(); }
    // The key as a position reached by play would have it: the en passant square counts
    // only when a pawn of the side to move stands beside the pawn that has just made its
    // double step, which is when making a move records one. A position read from a text
    // that names the square after every double step thus gets the key of the same
    // position reached by play.
    std::uint64_t lookup_key() const;
    // The lookup key of the position a FEN text or EPD line sets up, read without setting
    // one up: the same as fen(text) then lookup_key(), and empty where fen(text) throws.
    static std::optional<std::uint64_t> lookup_key_of_fen(std::string_view text);
    // The same, and the half moves from a game's start that the text's move number and
    // side to move name (move 9 with Black to move: 17), or 0 without a move number.
    static std::optional<std::uint64_t> lookup_key_of_fen(std::string_view text,
                                                          std::uint64_t& named_half_moves);

    // ---- Making moves ----

    // Makes a move that is legal here, with its fields (check bit included) filled in.
    // Nothing is checked; in_check afterwards is the move's check bit.
    void make_move(Move move);
    // Takes back the last move made; throws BoardError when none was made.
    void unmake_move();
    // The placement part of making and taking back a move (side to move included);
    // history, key and repetition list are untouched.
    void apply_to_placement(Move move);
    void take_back_from_placement(Move move);

    // True when the current key occurs earlier since the last pawn move or capture.
    bool is_repetition() const;
    // True after 100 half moves or more without a pawn move or capture.
    bool fifty_moves() const { return half_move_clock() > 99; }

    // ---- Attacks ----
    // Targets are one-square bitboards; an empty target gives an empty result.

    Bitboard attackers_by_white(Bitboard target) const {
        return attackers<true>(target, occupied_, false);
    }
    Bitboard attackers_by_black(Bitboard target) const {
        return attackers<false>(target, occupied_, false);
    }
    bool attacked_by_white(Bitboard target) const { return attackers_by_white(target) != 0; }
    bool attacked_by_black(Bitboard target) const { return attackers_by_black(target) != 0; }
    // As if sliders saw through every piece.
    Bitboard xray_attackers_by_white(Bitboard target) const {
        return attackers<true>(target, occupied_, true);
    }
    Bitboard xray_attackers_by_black(Bitboard target) const {
        return attackers<false>(target, occupied_, true);
    }
    // The square of one attacker, cheapest kind first; 64 when there is none.
    std::uint32_t least_valuable_attacker_white(Bitboard target) const;
    std::uint32_t least_valuable_attacker_black(Bitboard target) const;

    // Recomputes the pin sets and king squares of the current history entry.
    void compute_pins();
    // Brings them up to date after `move` was made (the entry is a copy of the previous one).
    void update_pins(Move move);
    // Sets the check flag of the current entry from the attackers of the side to move's king.
    void update_in_check();

    // ---- Legal moves ----

    void generate_legal_moves(MoveList& list) const { generator_.generate(list); }
    // Only the legal moves of one piece kind (Piece::pawn to Piece::king) to one square,
    // in the order and with the check bits of the full list.
    void generate_legal_moves(MoveList& list, std::uint32_t kind, std::uint32_t to) const {
        generator_.generate(list, kind, to);
    }
    // The number of legal moves, found without listing them.
    std::size_t count_legal_moves() const { return generator_.count(); }
    // Fill the current frame of a search's stack of lists: all legal moves, or only the
    // captures and promotions among them.
    void generate_legal_moves(MoveListStack& stack) const;
    void generate_tactical_moves(MoveListStack& stack) const;
    // True when a generated move equals `move` (low 24 bits, check bit included).
    bool is_legal_move(Move move) const;
    // "*", a draw by repetition, fifty moves, insufficient material or stalemate, or a mate.
    std::string result_text() const;
    // The legal move given as "e2e4", "e7e8q", "O-O" or "O-O-O"; castling may also be
    // written as the king's two-square step. Throws MoveTextError otherwise.
    Move convert_to_move(std::string_view text) const;

    // ---- Diagnostics ----

    // Writes to "cposition_<id>.log" while on (the file is emptied when switched on).
    void set_log(bool on);
    bool log_enabled() const { return log_enabled_ != 0; }
    void log(std::string_view line);

    // Attackers of a target by one colour with a given occupancy (x-ray: empty board).
    template <bool White>
    Bitboard attackers(Bitboard target, Bitboard occupancy, bool xray) const;

private:
    // lookup_key() from the parts it depends on.
    static std::uint64_t lookup_key(std::uint64_t key, std::uint32_t en_passant_square,
                                    bool white_to_move, Bitboard white_pawns, Bitboard black_pawns);
    void update_summaries() {
        white_pieces_ = piece_bitboards_[1] | piece_bitboards_[2] | piece_bitboards_[3] |
                        piece_bitboards_[4] | piece_bitboards_[5] | piece_bitboards_[6];
        black_pieces_ = piece_bitboards_[9] | piece_bitboards_[10] | piece_bitboards_[11] |
                        piece_bitboards_[12] | piece_bitboards_[13] | piece_bitboards_[14];
        occupied_ = white_pieces_ | black_pieces_;
    }
    // The summary of the colour of a piece code (White for the empty code).
    Bitboard& pieces_of_colour(std::uint32_t code) {
        return (code & Piece::black_bit) != 0 ? black_pieces_ : white_pieces_;
    }
    void put(std::uint32_t code, std::uint32_t square) {
        piece_bitboards_[code] |= square_table[square];
        board_[square] = code;
    }
    void take(std::uint32_t code, std::uint32_t square) {
        piece_bitboards_[code] &= ~square_table[square];
        board_[square] = Piece::no_piece;
    }
    // Adds the pins and discovering pieces against the king on `king_square` made by the
    // enemy sliders among `sliders`.
    void add_pins(std::uint32_t king_square, Bitboard sliders, Bitboard king_side_pieces,
                  Bitboard slider_side_pieces, HistoryEntry& entry) const;
    Bitboard white_sliders_aimed_at(std::uint32_t square) const;
    Bitboard black_sliders_aimed_at(std::uint32_t square) const;
    void copy_state_from(const ChessPosition& other);

    std::uint32_t id_;
    Bitboard white_pieces_ = 0;
    Bitboard black_pieces_ = 0;
    Bitboard occupied_ = 0;
    std::array<Bitboard, 15> piece_bitboards_{};
    std::array<Piece, 64> board_{};
    std::uint32_t side_to_move_ = 1;
    const AttackTables* tables_;
    MoveGenerator generator_;
    HashKeys hash_keys_;
    std::vector<std::uint64_t> repetition_list_;
    std::uint16_t full_move_number_ = 1;
    std::vector<HistoryEntry> history_;
    std::string fen_text_;
    std::uint8_t castling_letters_ = 0;
    std::uint64_t movecounter_ = 0;
    std::uint8_t log_enabled_ = 0;
    std::unique_ptr<std::ofstream> log_stream_;
};

template <bool White>
Bitboard ChessPosition::attackers(Bitboard target, Bitboard occupancy, bool xray) const {
    if (target == 0) return 0;
    const AttackTables& t = *tables_;
    const std::uint32_t s = lowest_square(target);
    const std::uint32_t base = White ? 0 : 8;
    const Bitboard pawn_squares =
        White ? (((target >> 7) & not_file_a) | ((target >> 9) & not_file_h))
              : (((target << 7) & not_file_h) | ((target << 9) & not_file_a));
    const Bitboard queens = piece_bitboards_[base + Piece::queen];
    const Bitboard diagonal = xray ? t.bishop_rays(s) : t.bishop_attacks(s, occupancy);
    const Bitboard straight = xray ? t.rook_rays(s) : t.rook_attacks(s, occupancy);
    return (pawn_squares & piece_bitboards_[base + Piece::pawn]) |
           (t.knight_attacks(s) & piece_bitboards_[base + Piece::knight]) |
           (diagonal & (piece_bitboards_[base + Piece::bishop] | queens)) |
           (straight & (piece_bitboards_[base + Piece::rook] | queens)) |
           (t.king_attacks(s) & piece_bitboards_[base + Piece::king]);
}

}  // namespace vorline
