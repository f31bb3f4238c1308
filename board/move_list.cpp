#include "board/move_list.h"

#include <algorithm>

namespace vorline {

MoveList::MoveList(const MoveList& other)
    : position_(other.position_),
      buckets_(other.buckets_),
      count_(other.count_),
      moves_(own_moves()),
      owns_array_(true),
      selection_index_(other.selection_index_),
      hash_move_(other.hash_move_),
      killers_(other.killers_),
      counter_moves_(other.counter_moves_),
      flag_(other.flag_) {
    for (std::size_t i = 0; i < count_; ++i) ::new (moves_ + i) Move(other.moves_[i]);
}

MoveList& MoveList::operator=(const MoveList& other) {
    if (this == &other) return *this;
    position_ = other.position_;
    buckets_ = other.buckets_;
    count_ = other.count_;
    for (std::size_t i = 0; i < count_; ++i) ::new (moves_ + i) Move(other.moves_[i]);
    selection_index_ = other.selection_index_;
    hash_move_ = other.hash_move_;
    killers_ = other.killers_;
    counter_moves_ = other.counter_moves_;
    flag_ = other.flag_;
    return *this;
}

void MoveList::append(const Move* first, const Move* last) {
    for (; first != last && count_ < capacity; ++first) push(*first);
}

bool MoveList::contains(Move move) const { return std::find(begin(), end(), move) != end(); }

void MoveList::remove(Move move) {
    Move* found = std::find(begin(), end(), move);
    if (found == end()) return;
    std::copy(found + 1, end(), found);
    --count_;
}

void MoveList::keep_only(const Move* first, const Move* last) {
    std::size_t kept = 0;
    // Kept moves are written over the front of the list; a move is read before any
    // write can reach its slot unless it is kept more than once, so those go to a copy.
    std::array<Move, capacity> source;
    std::copy(begin(), end(), source.begin());
    const std::size_t old_count = count_;
    for (std::size_t i = 0; i < old_count; ++i)
        for (const Move* m = first; m != last; ++m)
            if (*m == source[i] && kept < capacity) ::new (moves_ + kept++) Move(source[i]);
    count_ = kept;
}

Move MoveList::select_from(std::uint32_t index) {
    selection_index_ = index;
    if (index >= count_) return Move();
    std::uint32_t best = index;
    for (std::uint32_t i = index + 1; i < count_; ++i)
        if (moves_[i].xcode() < moves_[best].xcode()) best = i;
    std::swap(moves_[index], moves_[best]);
    return moves_[index];
}

Move MoveList::first_best() { return select_from(0); }

Move MoveList::next_best() { return select_from(selection_index_ + 1); }

void MoveList::fill_buckets() {
    buckets_.resize(label_count);
    for (std::vector<Move>& bucket : buckets_) bucket.clear();
    for (Move move : *this)
        if (move.xcode() < label_count) buckets_[move.xcode()].push_back(move);
}

const std::vector<Move>& MoveList::bucket(std::uint32_t xcode) const {
    static const std::vector<Move> none;
    return xcode < buckets_.size() ? buckets_[xcode] : none;
}

std::string MoveList::dump() const {
    std::string text = "{begin MoveList}\n";
    for (Move move : *this) text += "  " + move.dump();
    text += "{end MoveList}";
    return text;
}

}  // namespace vorline
