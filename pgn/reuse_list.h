// ReuseList: a growable list that keeps removed elements for reuse.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace vorline {

// A growable list whose removed elements stay constructed behind its end, so that a list
// that is emptied and filled again reuses their storage (the text buffers of game nodes
// and tags) instead of allocating anew. A slot handed out by push_slot or insert_slot
// still holds whatever it held before: the caller overwrites every field it cares about.
template <class T>
class ReuseList {
public:
    using iterator = T*;
    using const_iterator = const T*;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](std::size_t i) { return slots_[i]; }
    const T& operator[](std::size_t i) const { return slots_[i]; }
    T& back() { return slots_[size_ - 1]; }
    const T& back() const { return slots_[size_ - 1]; }

    iterator begin() { return slots_.data(); }
    iterator end() { return slots_.data() + size_; }
    const_iterator begin() const { return slots_.data(); }
    const_iterator end() const { return slots_.data() + size_; }

    // Appends a slot at the end and returns it.
    T& push_slot() {
        if (size_ == slots_.size()) slots_.emplace_back();
        return slots_[size_++];
    }

    // Makes room at `pos` (at most size()), shifting the elements from there one place on,
    // and returns the slot now at `pos`.
    T& insert_slot(std::size_t pos) {
        push_slot();
        std::rotate(slots_.begin() + static_cast<std::ptrdiff_t>(pos),
                    slots_.begin() + static_cast<std::ptrdiff_t>(size_ - 1),
                    slots_.begin() + static_cast<std::ptrdiff_t>(size_));
        return slots_[pos];
    }

    // Removes the element at `pos`, keeping the order of the others.
    void erase(std::size_t pos) {
        std::rotate(slots_.begin() + static_cast<std::ptrdiff_t>(pos),
                    slots_.begin() + static_cast<std::ptrdiff_t>(pos + 1),
                    slots_.begin() + static_cast<std::ptrdiff_t>(size_));
        --size_;
    }

    // Keeps the first `n` elements (n at most size()).
    void truncate(std::size_t n) { size_ = n; }
    void clear() { size_ = 0; }

private:
    std::vector<T> slots_;
    std::size_t size_ = 0;
};

}  // namespace vorline
