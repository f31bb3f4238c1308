// Piece: a piece code; white 1..6 (pawn, knight, bishop, rook, queen, king), black 9..14, 0 none.
#pragma once

#include <cstdint>
#include <string>

namespace vorline {

class Piece {
public:
    // The codes; the low three bits give the kind, bit 3 the colour (set for Black).
    enum : std::uint32_t {
        no_piece = 0,
        white_pawn = 1,
        white_knight,
        white_bishop,
        white_rook,
        white_queen,
        white_king,
        black_pawn = 9,
        black_knight,
        black_bishop,
        black_rook,
        black_queen,
        black_king,
    };
    // Kinds (code AND 7), regardless of colour.
    enum : std::uint32_t { pawn = 1, knight, bishop, rook, queen, king };
    static constexpr std::uint32_t black_bit = 8;

    // The kind an upper-case piece letter names ("P", "N", "B", "R", "Q", "K"); 0 for any
    // other character.
    static constexpr std::uint32_t kind_of_letter(char letter) {
        switch (letter) {
            case 'P':
                return pawn;
            case 'N':
                return knight;
            case 'B':
                return bishop;
            case 'R':
                return rook;
            case 'Q':
                return queen;
            case 'K':
                return king;
            default:
                return 0;
        }
    }

    constexpr Piece() = default;
    constexpr Piece(std::uint32_t code) : code_(code) {}  // unchecked

    constexpr std::uint32_t code() const { return code_; }
    constexpr std::uint32_t kind() const { return code_ & 7; }

    constexpr void clear() { code_ = no_piece; }
    constexpr void set_white_pawn() { code_ = white_pawn; }
    constexpr void set_white_knight() { code_ = white_knight; }
    constexpr void set_white_bishop() { code_ = white_bishop; }
    constexpr void set_white_rook() { code_ = white_rook; }
    constexpr void set_white_queen() { code_ = white_queen; }
    constexpr void set_white_king() { code_ = white_king; }
    constexpr void set_black_pawn() { code_ = black_pawn; }
    constexpr void set_black_knight() { code_ = black_knight; }
    constexpr void set_black_bishop() { code_ = black_bishop; }
    constexpr void set_black_rook() { code_ = black_rook; }
    constexpr void set_black_queen() { code_ = black_queen; }
    constexpr void set_black_king() { code_ = black_king; }

    constexpr bool is_empty() const { return code_ == no_piece; }
    constexpr bool is_present() const { return code_ != no_piece; }
    // The empty code tests as white: ask the colour of real pieces only.
    constexpr bool is_black() const { return (code_ & black_bit) != 0; }
    constexpr bool is_white() const { return (code_ & black_bit) == 0; }

    constexpr bool is_pawn() const { return kind() == pawn; }
    constexpr bool is_knight() const { return kind() == knight; }
    constexpr bool is_bishop() const { return kind() == bishop; }
    constexpr bool is_rook() const { return kind() == rook; }
    constexpr bool is_queen() const { return kind() == queen; }
    constexpr bool is_king() const { return kind() == king; }

    constexpr bool is_white_pawn() const { return code_ == white_pawn; }
    constexpr bool is_white_knight() const { return code_ == white_knight; }
    constexpr bool is_white_bishop() const { return code_ == white_bishop; }
    constexpr bool is_white_rook() const { return code_ == white_rook; }
    constexpr bool is_white_queen() const { return code_ == white_queen; }
    constexpr bool is_white_king() const { return code_ == white_king; }
    constexpr bool is_black_pawn() const { return code_ == black_pawn; }
    constexpr bool is_black_knight() const { return code_ == black_knight; }
    constexpr bool is_black_bishop() const { return code_ == black_bishop; }
    constexpr bool is_black_rook() const { return code_ == black_rook; }
    constexpr bool is_black_queen() const { return code_ == black_queen; }
    constexpr bool is_black_king() const { return code_ == black_king; }

    friend constexpr bool operator==(Piece, Piece) = default;

    // Signed material value (pawn 100 ... king 4000, negative for Black). Codes 7, 8 and
    // above 14 print "Piece: <code>" to standard output and throw BoardError.
    int value() const;
    // Value of the kind alone (code AND 7); kind 7 prints and throws like value().
    int abs_value() const;
    // "white pawn", ..., "no piece"; throws BoardError for codes that are no piece.
    std::string name() const;

private:
    std::uint32_t code_ = no_piece;
};

}  // namespace vorline
