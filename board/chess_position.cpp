#include "board/chess_position.h"

#include <atomic>
#include <fstream>
#include <iostream>

namespace vorline {

namespace {

// Enough for long games without reallocating while moves are made.
constexpr std::size_t reserved_plies = 1024;

// Positions are made on several threads at once (one opening player per indexing thread).
std::atomic<std::uint32_t> id_counter{0};

}  // namespace

ChessPosition::ChessPosition(const AttackTables& tables)
    : id_(id_counter.fetch_add(1, std::memory_order_relaxed) + 1),
      tables_(&tables),
      generator_(*this, tables) {
    history_.reserve(reserved_plies);
    repetition_list_.reserve(2 * reserved_plies);
    clear();
}

ChessPosition::ChessPosition(const ChessPosition& other) : ChessPosition(*other.tables_) {
    copy_state_from(other);
}

ChessPosition& ChessPosition::operator=(const ChessPosition& other) {
    if (this != &other) copy_state_from(other);
    return *this;
}

ChessPosition::~ChessPosition() = default;

void ChessPosition::copy_state_from(const ChessPosition& other) {
    white_pieces_ = other.white_pieces_;
    black_pieces_ = other.black_pieces_;
    occupied_ = other.occupied_;
    piece_bitboards_ = other.piece_bitboards_;
    board_ = other.board_;
    side_to_move_ = other.side_to_move_;
    hash_keys_ = other.hash_keys_;
    hash_keys_.set_position(*this);
    repetition_list_ = other.repetition_list_;
    full_move_number_ = other.full_move_number_;
    history_ = other.history_;
    fen_text_ = other.fen_text_;
    castling_letters_ = other.castling_letters_;
    movecounter_ = other.movecounter_;
    set_log(other.log_enabled());
}

void ChessPosition::clear() {
    side_to_move_ = 1;
    piece_bitboards_.fill(0);
    board_.fill(Piece());
    update_summaries();
    fen_text_ = empty_fen;
    history_.clear();
    history_.push_back(HistoryEntry());
    full_move_number_ = 1;
    hash_keys_.recompute(*this);
    repetition_list_.clear();
    repetition_list_.push_back(hash());
    movecounter_ = 0;
}

void ChessPosition::set_start_position() {
    fen(start_fen);
    write_fen(fen_text_);
}

int ChessPosition::material() const {
    const auto count = [this](std::uint32_t kind) {
        return int(popcount(piece_bitboards_[kind] | piece_bitboards_[kind + 8]));
    };
    return 900 * count(Piece::queen) + 500 * count(Piece::rook) +
           300 * (count(Piece::bishop) + count(Piece::knight));
}

std::uint64_t ChessPosition::lookup_key() const {
    return lookup_key(hash(), en_passant_square(), white_to_move(), white_pawns(), black_pawns());
}

std::uint64_t ChessPosition::lookup_key(std::uint64_t key, std::uint32_t ep, bool white,
                                        Bitboard white_pawns, Bitboard black_pawns) {
    if (ep >= 64) return key;
    // With White to move Black's pawn has gone to ep - 8 (rank 5); with Black to move
    // White's pawn stands on ep + 8 (rank 4). A capturing pawn stands beside it.
    bool capturable = false;
    if (ep / 8 == (white ? 5u : 2u)) {
        const Bitboard passed = square_table[white ? ep - 8 : ep + 8];
        const Bitboard beside = ((passed << 1) & not_file_a) | ((passed >> 1) & not_file_h);
        capturable = (beside & (white ? white_pawns : black_pawns)) != 0;
    }
    return capturable ? key : key ^ HashKeys::en_passant_keys[ep & 7];
}

bool operator==(const ChessPosition& a, const ChessPosition& b) {
    const HistoryEntry& x = a.current();
    const HistoryEntry& y = b.current();
    return a.side_to_move_ == b.side_to_move_ && a.piece_bitboards_ == b.piece_bitboards_ &&
           a.full_move_number_ == b.full_move_number_ && x.half_move_clock == y.half_move_clock &&
           x.castling_rights == y.castling_rights && x.en_passant_square == y.en_passant_square &&
           x.pinned_pieces == y.pinned_pieces && x.discovering_pieces == y.discovering_pieces;
}

void ChessPosition::set_log(bool on) {
    if (!on) {
        log_stream_.reset();
        log_enabled_ = 0;
        return;
    }
    log_enabled_ = 1;
    if (log_stream_) return;
    log_stream_ = std::make_unique<std::ofstream>("cposition_" + std::to_string(id_) + ".log",
                                                  std::ios::out | std::ios::trunc);
    if (!*log_stream_) std::cerr << "ChessPosition open file error" << std::endl;
}

void ChessPosition::log(std::string_view line) {
    if (log_enabled_ && log_stream_ && *log_stream_) *log_stream_ << line << std::endl;
}

}  // namespace vorline
