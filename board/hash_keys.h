// HashKeys: Polyglot-compatible Zobrist keys and the per-ply stacks of the piece-square hash.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "board/bitboard.h"
#include "board/history_entry.h"
#include "board/move.h"
#include "board/polyglot_keys.h"

namespace vorline {

class ChessPosition;

using KeyTable = std::array<std::array<std::uint64_t, 64>, 15>;

// Polyglot numbers its piece kinds black pawn 0, white pawn 1, black knight 2, ...,
// white king 11; entry [code][square] is the key of that piece code on that square, and
// codes 0, 7 and 8 have zero keys so that "nothing captured" XORs nothing.
constexpr KeyTable make_piece_keys(bool pawns_only) {
    KeyTable keys{};
    for (std::uint32_t code = 1; code <= 14; ++code) {
        const std::uint32_t kind = code & 7;
        if (kind == 0 || kind == 7 || (pawns_only && kind != 1)) continue;
        const std::uint32_t polyglot_kind = 2 * (kind - 1) + ((code & 8) ? 0 : 1);
        for (std::uint32_t s = 0; s < 64; ++s)
            keys[code][s] = polyglot_random64[64 * polyglot_kind + s];
    }
    return keys;
}

class HashKeys {
public:
    static constexpr KeyTable piece_keys = make_piece_keys(false);
    static constexpr KeyTable pawn_keys = make_piece_keys(true);
    // White king side, White queen side, Black king side, Black queen side.
    static constexpr std::array<std::uint64_t, 4> castle_keys = {
        polyglot_random64[768], polyglot_random64[769], polyglot_random64[770],
        polyglot_random64[771]};
    static constexpr std::array<std::uint64_t, 8> en_passant_keys = {
        polyglot_random64[772], polyglot_random64[773], polyglot_random64[774],
        polyglot_random64[775], polyglot_random64[776], polyglot_random64[777],
        polyglot_random64[778], polyglot_random64[779]};
    static constexpr std::uint64_t side_key = polyglot_random64[780];

    HashKeys();

    // Both stacks become one entry computed from the position's placement.
    void recompute(const ChessPosition& position);
    // Pushes the hashes of the position after `move` (placement already updated or not:
    // only the move's fields are read).
    void update(Move move);
    // Ties the key computation of hash() to a position (recompute() does it as well).
    void set_position(const ChessPosition& position) { position_ = &position; }
    // Drops the entries of the last move.
    void pop() {
        piece_hash_.pop_back();
        pawn_hash_.pop_back();
    }

    std::uint64_t piece_hash() const { return piece_hash_.back(); }
    std::uint64_t pawn_hash() const { return pawn_hash_.back(); }
    std::size_t size() const { return piece_hash_.size(); }
    const std::vector<std::uint64_t>& piece_hash_stack() const { return piece_hash_; }
    const std::vector<std::uint64_t>& pawn_hash_stack() const { return pawn_hash_; }

    // The key of the position last given to recompute(), from its current state.
    std::uint64_t hash() const;

    // The position key from its parts: the piece-square hash, then castling rights, en
    // passant square (64 for none) and side. Chess960 rights (rooks on files b to g) add
    // the mask itself, since Polyglot has no keys for them.
    static std::uint64_t key(std::uint64_t piece_hash, std::uint32_t castling_rights,
                             std::uint32_t en_passant_square, bool white_to_move) {
        std::uint64_t k = piece_hash;
        if (castling_rights != 0) {
            if (castling_rights & CastlingMask::white_queen_side) k ^= castle_keys[1];
            if (castling_rights & CastlingMask::white_king_side) k ^= castle_keys[0];
            if (castling_rights & CastlingMask::black_queen_side) k ^= castle_keys[3];
            if (castling_rights & CastlingMask::black_king_side) k ^= castle_keys[2];
            if (castling_rights & CastlingMask::inner_files) k ^= castling_rights;
        }
        if (en_passant_square != no_square) k ^= en_passant_keys[en_passant_square & 7];
        if (white_to_move) k ^= side_key;
        return k;
    }

private:
    const ChessPosition* position_ = nullptr;
    std::vector<std::uint64_t> piece_hash_;
    std::vector<std::uint64_t> pawn_hash_;
};

}  // namespace vorline
