// OpeningMoveCache: the moves that the first SAN tokens of earlier games turned out to name.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "board/move.h"

// A tree of token paths from the initial position: a node stands for the position that a
// path of tokens leads to, and its children for the tokens read there before, each with
// the move it named. A path of tokens names the same moves in every game, so a player that
// follows the tree makes the moves it holds without reading the tokens against the board.
// Openings repeat: on real files about a third of the moves of the first 24 half moves
// are found this way.
//
// The tree grows by at most one node per game (the first token off the known paths), so
// that its bounded room goes to the paths that many games share. Tokens of more than
// eight characters are never held.
class OpeningMoveCache {
public:
    using Node = std::uint32_t;
    static constexpr Node start = 0;  // the initial position

    // When `token` was read at `node` before, sets `move` to the move it named, moves
    // `node` on to the token's child and returns true.
    bool follow(Node& node, std::string_view token, Move& move) const;
    // Adds `token` at `node` naming `move` and moves `node` on to the new child, unless the
    // tree is full or the token too long; returns whether it did. Only for a token that
    // follow() did not find at `node`.
    bool add(Node& node, std::string_view token, Move move);

private:
    struct Entry {
        std::uint64_t token;  // the token's characters, zero-padded; 0 marks an empty entry
        Node parent;
        std::uint32_t move;
    };
    static constexpr std::size_t table_size = std::size_t{1} << 13;
    static constexpr std::size_t capacity = table_size / 4 * 3;  // probe runs stay short

    static bool pack(std::string_view token, std::uint64_t& packed);
    static std::size_t home(Node parent, std::uint64_t token);

    std::unique_ptr<Entry[]>
        entries_;  // made by the first add(): a player never used costs nothing
    std::size_t count_ = 0;
};
