// MoveList: the legal moves of one position, with the ordering state a search uses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "board/move.h"

namespace vorline {

class ChessPosition;

class MoveList {
public:
    // Room for the moves of any position the FEN reader accepts, reachable or not (a legal
    // game never has more than 218). A destination square is reached from at most 16
    // squares (the nearest piece on each of its 8 lines, and 8 knight squares); promotion
    // adds 3 moves per pawn on each of 8 last-rank squares (at most 72); castling at most 7.
    // With n pieces of its own, a side has at most 64 - n destinations and each piece at
    // most 27 moves: min(16 (64 - n) + 79, 27 n) <= 687 for every n.
    static constexpr std::size_t capacity = 688;
    static constexpr std::uint32_t label_count = Move::xnormal_move + 1;

    // A list with its own array (the form used for generation); nothing is allocated.
    MoveList() : moves_(own_moves()), owns_array_(true) {}
    // A frame of a stack of lists: the moves live in `lent`, which the list never frees
    // and which must hold `capacity` moves.
    explicit MoveList(Move* lent) : moves_(lent), owns_array_(false) {}
    // Empties the list and makes it use `array` (capacity moves, not freed by the list).
    void lend(Move* array) {
        moves_ = array;
        owns_array_ = false;
        reset();
    }
    // Copies hold their moves in their own array.
    MoveList(const MoveList& other);
    MoveList& operator=(const MoveList& other);
    ~MoveList() = default;

    const ChessPosition* position() const { return position_; }
    void set_position(const ChessPosition* position) { position_ = position; }
    bool owns_array() const { return owns_array_; }

    std::size_t size() const { return count_; }
    std::size_t count() const { return count_; }
    bool empty() const { return count_ == 0; }
    Move operator[](std::size_t i) const { return moves_[i]; }
    Move& operator[](std::size_t i) { return moves_[i]; }
    Move last() const { return moves_[count_ - 1]; }
    const Move* begin() const { return moves_; }
    const Move* end() const { return moves_ + count_; }
    Move* begin() { return moves_; }
    Move* end() { return moves_ + count_; }

    // Unchecked: generation never lists more than `capacity` moves.
    void push(Move move) { ::new (moves_ + count_++) Move(move); }
    void pop() { --count_; }
    // Appends a range, as far as the list has room.
    void append(const Move* first, const Move* last);
    bool contains(Move move) const;
    // Removes the first move equal to `move` (low 24 bits), keeping the order of the rest.
    void remove(Move move);
    // Keeps, in list order, the moves equal to some move of `set`, each once per equal
    // element of `set`.
    void keep_only(const Move* first, const Move* last);
    void keep_only(const MoveList& set) { keep_only(set.begin(), set.end()); }

    // Ordering hints.
    void set_hash_move(Move move) { hash_move_ = move.word() & Move::move_bits; }
    void set_killers(Move first, Move second) { killers_ = {first, second}; }
    void set_counter_moves(Move first, Move second) { counter_moves_ = {first, second}; }
    void set_flag(std::uint8_t flag) { flag_ = flag; }
    Move hash_move() const { return Move::from_word(hash_move_); }
    const std::array<Move, 2>& killers() const { return killers_; }
    const std::array<Move, 2>& counter_moves() const { return counter_moves_; }
    std::uint8_t flag() const { return flag_; }
    // Count and hints back to zero.
    void reset() {
        count_ = 0;
        selection_index_ = 0;
        hash_move_ = 0;
        killers_ = {};
        counter_moves_ = {};
        flag_ = 0;
    }

    // Best-first selection: swaps the move with the smallest xcode (the earlier one on a
    // tie) into the front and returns it; next_best() does the same from the following
    // index on and returns the empty move once the list is used up.
    Move first_best();
    Move next_best();
    std::uint32_t selection_index() const { return selection_index_; }

    // Sorts every move into the bucket of its xcode (labels above 12 are skipped), in list
    // order; allocates only when called.
    void fill_buckets();
    const std::vector<Move>& bucket(std::uint32_t xcode) const;

    // "{begin MoveList}", one line per move, "{end MoveList}".
    std::string dump() const;

private:
    Move* own_moves() { return reinterpret_cast<Move*>(storage_); }
    Move select_from(std::uint32_t index);

    const ChessPosition* position_ = nullptr;
    // Empty until fill_buckets() makes one bucket per label, so that making a list for a
    // single generation costs nothing.
    std::vector<std::vector<Move>> buckets_;
    std::size_t count_ = 0;
    Move* moves_;
    bool owns_array_;
    std::uint32_t selection_index_ = 0;
    std::uint32_t hash_move_ = 0;
    std::array<Move, 2> killers_{};
    std::array<Move, 2> counter_moves_{};
    std::uint8_t flag_ = 0;
    // Left uninitialised: only the first count_ slots are ever read.
    alignas(Move) unsigned char storage_[capacity * sizeof(Move)];
};

}  // namespace vorline
