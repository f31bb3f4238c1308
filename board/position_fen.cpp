// Reading and writing FEN (and the position part of EPD lines).
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <optional>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "board/board_errors.h"
#include "board/chess_position.h"

namespace vorline {

namespace {

constexpr bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Piece code of a FEN letter (upper case White, lower case Black), 0 for anything else.
constexpr std::uint32_t piece_code(char c) {
    if (const std::uint32_t white = Piece::kind_of_letter(c)) return white;
    if (c < 'a' || c > 'z') return Piece::no_piece;
    const std::uint32_t black = Piece::kind_of_letter(char(c - 'a' + 'A'));
    return black != 0 ? black | Piece::black_bit : Piece::no_piece;
}

// What a byte of a placement does: a piece letter places its code and moves on one
// square, a digit 1-8 moves on as many, "/" goes to file a of the next rank down. Each
// part in a table of its own, so that reading a byte takes no branch and few instructions:
// `code`, the squares moved on, `file_mask` (keeps the file, or sets it back to file a for
// "/") and `rank_step` (the squares a rank down). A byte that is no placement character
// moves on sixteen squares, beyond any rank, which marks the placement as faulty.
struct PlacementTables {
    std::array<std::uint8_t, 256> code{};
    std::array<std::uint8_t, 256> squares{};
    std::array<std::int8_t, 256> file_mask{};
    std::array<std::uint8_t, 256> rank_step{};
};
constexpr std::uint8_t invalid_squares = 16;
constexpr PlacementTables placement_bytes = [] {
    PlacementTables t;
    for (std::size_t c = 0; c < 256; ++c) {
        t.file_mask[c] = -1;
        t.squares[c] = invalid_squares;
        if (const std::uint32_t code = piece_code(char(c))) {
            t.code[c] = std::uint8_t(code);
            t.squares[c] = 1;
        }
        if (c >= '1' && c <= '8') t.squares[c] = std::uint8_t(c - '0');
        if (c == '/') {
            t.squares[c] = 0;
            t.file_mask[c] = 0;
            t.rank_step[c] = 8;
        }
    }
    return t;
}();

constexpr std::array<bool, 256> space_bytes = [] {
    std::array<bool, 256> bytes{};
    for (int c = 0; c < 256; ++c) bytes[std::size_t(c)] = is_space(char(c));
    return bytes;
}();

bool is_space_byte(char c) { return space_bytes[static_cast<unsigned char>(c)]; }

// Where the field that starts at `pos` ends: at the first space from there, or at the
// text's end.
std::size_t field_end(std::string_view text, std::size_t pos) {
#if defined(__SSE2__)
    // Sixteen bytes at a time are searched for bytes from 0 to 32, the only ones that may
    // be spaces.
    const __m128i above_spaces = _mm_set1_epi8(0x21);
    const __m128i negative = _mm_set1_epi8(-1);
    for (; pos + 16 <= text.size(); pos += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
        const __m128i low =
            _mm_and_si128(_mm_cmplt_epi8(bytes, above_spaces), _mm_cmpgt_epi8(bytes, negative));
        for (unsigned mask = unsigned(_mm_movemask_epi8(low)); mask != 0; mask &= mask - 1)
            if (const std::size_t at = pos + unsigned(std::countr_zero(mask));
                is_space_byte(text[at]))
                return at;
    }
#endif
    while (pos < text.size() && !is_space_byte(text[pos])) ++pos;
    return pos;
}

constexpr std::array<char, 15> piece_letters = {'?', 'P', 'N', 'B', 'R', 'Q', 'K', '?',
                                                '?', 'p', 'n', 'b', 'r', 'q', 'k'};

// A number field: optional sign and at least one digit, trailing text allowed (so an
// EPD operation such as "bm" fails and "7;" reads as 7). Values beyond the signed 32-bit
// range fail as well.
bool read_number(std::string_view field, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    if (i == field.size() || field[i] < '0' || field[i] > '9') return false;
    long long magnitude = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (field[i] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= -2147483648LL && value <= 2147483647LL;
}

std::uint16_t clamp_to_16_bits(long long value) {
    return std::uint16_t(value < 0 ? 0 : value > 65535 ? 65535 : value);
}

// Throws FenError for a bad placement, leaving `position` as clear() makes it.
[[noreturn]] void placement_error(std::string_view text, std::string_view what,
                                  ChessPosition& position) {
    std::string message = "ChessPosition::fen(";
    message += text;
    message += ") \n";
    message += what;
    position.clear();
    throw FenError(message);
}

char* write_number(char* out, std::uint32_t value) {
    char digits[10];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) *out++ = digits[--n];
    return out;
}

// What a FEN text or EPD line says, read without a position: ChessPosition::fen sets a
// position from it, lookup_key_of_fen only takes its key.
struct FenParts {
    std::array<std::string_view, 6> fields = {"", "", "", "", "0", "1"};
    long long half_moves = 0;
    long long full_moves = 1;
    bool move_number_given = false;  // the text's sixth field is a number
    std::uint64_t piece_hash = 0;
    bool white_to_move = false;
    std::uint16_t castling_rights = 0;
    std::uint32_t en_passant_square = no_square;
    // What is wrong with the placement, or null; a byte that is no placement character
    // is named in `unknown`.
    const char* error = nullptr;
    char unknown = 0;
};

// The same with what stands on each square and the board of each piece, for setting a
// position; finding a key does without them (but for the pawns of an en passant square).
struct FenPlacement : FenParts {
    std::array<std::uint8_t, 64> placed{};
    std::array<Bitboard, 15> boards{};  // by piece code; the empty code's stays 0
};

// Names the first fault of a placement that has one.
void name_placement_fault(std::string_view placement, FenParts& parts) {
    int rank = 7;
    int file = 0;
    for (const char c : placement) {
        const auto b = static_cast<unsigned char>(c);
        if (placement_bytes.squares[b] == invalid_squares) {
            parts.error = "unkown piece 0x";
            parts.unknown = c;
            return;
        }
        if (placement_bytes.rank_step[b] != 0 && rank == 0) {
            parts.error = "placement has more than eight ranks";
            return;
        }
        file = (file + placement_bytes.squares[b]) & placement_bytes.file_mask[b];
        if (file > 8) {
            parts.error = "rank of more than eight squares";
            return;
        }
        rank -= placement_bytes.rank_step[b] / 8;
    }
}

// Reads the text's fields and its placement's key; into a FenPlacement also what stands
// on each square and the board of each piece.
template <class Parts>
void read_fen_parts(std::string_view text, Parts& parts) {
    constexpr bool whole = std::is_same_v<Parts, FenPlacement>;
    auto& fields = parts.fields;
    std::size_t pos = 0, count = 0;
    for (; count < fields.size(); ++count) {
        while (pos < text.size() && is_space_byte(text[pos])) ++pos;
        if (pos == text.size()) break;
        const std::size_t start = pos;
        pos = field_end(text, pos);
        fields[count] = text.substr(start, pos - start);
    }
    if (!read_number(fields[4], parts.half_moves)) fields[4] = "0";
    parts.move_number_given = read_number(fields[5], parts.full_moves) && count == fields.size();
    if (!parts.move_number_given) fields[5] = "1";

    // The cursor stays within its rank: a rank of more than eight squares or a ninth rank
    // is an error, a "/" starts the next rank at file a. The kinds of the bytes follow each
    // other at random, so every byte is handled alike, without a branch: faults are only
    // noticed here (a file beyond 8 makes `bad` negative, a ninth rank `rank_start`), and
    // named afterwards.
    int rank_start = 56;  // the square of file a on the cursor's rank
    int file = 0;
    std::uint64_t piece_hash = 0;
    int bad = 0;
    for (const char c : fields[0]) {
        const auto b = static_cast<unsigned char>(c);
        const std::uint8_t code = placement_bytes.code[b];
        // A digit or "/" may stand after the last square of a rank; it places nothing (the
        // empty code has no key).
        const std::uint32_t square = std::uint32_t(rank_start + file) & 63;
        if constexpr (whole) {
            parts.placed[square] |= code;
            parts.boards[code] |= Bitboard{1} << square;
        }
        piece_hash ^= HashKeys::piece_keys[code][square];
        file = (file + placement_bytes.squares[b]) & placement_bytes.file_mask[b];
        bad |= 8 - file;
        rank_start -= placement_bytes.rank_step[b];
    }
    if (bad < 0 || rank_start < 0) {
        name_placement_fault(fields[0], parts);
        return;
    }
    if constexpr (whole) parts.boards[Piece::no_piece] = 0;
    parts.piece_hash = piece_hash;
    parts.white_to_move = fields[1] == "w";

    std::uint16_t rights = 0;
    for (const char c : fields[2]) {
        if (c == 'K' || c == 'H')
            rights |= CastlingMask::white_king_side;
        else if (c == 'Q' || c == 'A')
            rights |= CastlingMask::white_queen_side;
        else if (c >= 'B' && c <= 'G')
            rights |= std::uint16_t(1u << (c - 'A'));
        else if (c == 'k' || c == 'h')
            rights |= CastlingMask::black_king_side;
        else if (c == 'q' || c == 'a')
            rights |= CastlingMask::black_queen_side;
        else if (c >= 'b' && c <= 'g')
            rights |= std::uint16_t(1u << (8 + c - 'a'));
    }
    parts.castling_rights = rights;

    const std::string_view ep = fields[3];
    if (!ep.empty() && ep[0] >= 'a' && ep[0] <= 'h')
        parts.en_passant_square =
            std::uint32_t(ep[0] - 'a') + (ep.size() > 1 && ep[1] == '3' ? 16 : 40);
}

}  // namespace

void ChessPosition::fen(std::string_view text) {
    // The position's own FEN text is rewritten below, so a view of it is read from a copy.
    const std::less_equal<const char*> at_or_before;
    if (at_or_before(fen_text_.data(), text.data()) &&
        at_or_before(text.data(), fen_text_.data() + fen_text_.size()))
        return fen(std::string(text));

    // The text is read apart first, so that a bad placement leaves the position as clear()
    // makes it.
    FenPlacement parts;
    read_fen_parts(text, parts);
    if (parts.error) {
        std::string what = parts.error;
        if (parts.unknown != 0) {
            static constexpr char hex[] = "0123456789abcdef";
            const unsigned char value = static_cast<unsigned char>(parts.unknown);
            if (value >= 16) what += hex[value >> 4];
            what += hex[value & 15];
        }
        placement_error(text, what, *this);
    }

    for (std::size_t s = 0; s < 64; ++s) board_[s] = parts.placed[s];
    piece_bitboards_ = parts.boards;
    update_summaries();
    side_to_move_ = parts.white_to_move ? 1 : 0;

    fen_text_.clear();
    for (std::size_t n = 0; n < parts.fields.size(); ++n) {
        if (n != 0) fen_text_ += ' ';
        fen_text_ += parts.fields[n];
    }

    history_.clear();
    HistoryEntry& entry = history_.emplace_back();
    entry.castling_rights = parts.castling_rights;
    entry.half_move_clock = clamp_to_16_bits(parts.half_moves);
    entry.en_passant_square = parts.en_passant_square;
    full_move_number_ = clamp_to_16_bits(parts.full_moves);
    movecounter_ = 0;

    if (white_king() != 0 && black_king() != 0) compute_pins();
    hash_keys_.recompute(*this);
    repetition_list_.clear();
    repetition_list_.push_back(hash());
    update_in_check();
}

std::optional<std::uint64_t> ChessPosition::lookup_key_of_fen(std::string_view text) {
    std::uint64_t named_half_moves;
    return lookup_key_of_fen(text, named_half_moves);
}

std::optional<std::uint64_t> ChessPosition::lookup_key_of_fen(std::string_view text,
                                                              std::uint64_t& named_half_moves) {
    FenParts parts;
    read_fen_parts(text, parts);
    if (parts.error) return std::nullopt;
    named_half_moves = parts.move_number_given && parts.full_moves >= 1
                           ? 2 * std::uint64_t(parts.full_moves - 1) + !parts.white_to_move
                           : 0;
    const std::uint64_t key = HashKeys::key(parts.piece_hash, parts.castling_rights,
                                            parts.en_passant_square, parts.white_to_move);
    if (parts.en_passant_square == no_square) return key;
    // Whether the en passant square counts depends on the pawns: the placement is read
    // again, whole (few lines name such a square).
    FenPlacement whole;
    read_fen_parts(text, whole);
    return lookup_key(key, parts.en_passant_square, parts.white_to_move,
                      whole.boards[Piece::white_pawn], whole.boards[Piece::black_pawn]);
}

std::size_t ChessPosition::write_fen(char* out) const {
    char* p = out;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const std::uint32_t code = board_[std::size_t(8 * rank + file)].code();
            if (code == Piece::no_piece) {
                ++empty;
                continue;
            }
            if (empty != 0) *p++ = char('0' + empty);
            empty = 0;
            *p++ = code < piece_letters.size() ? piece_letters[code] : '?';
        }
        if (empty != 0) *p++ = char('0' + empty);
        if (rank != 0) *p++ = '/';
    }
    *p++ = ' ';
    *p++ = white_to_move() ? 'w' : 'b';
    *p++ = ' ';

    const std::uint32_t rights = castling_rights();
    if (rights == 0) {
        *p++ = '-';
    } else if ((rights & CastlingMask::inner_files) != 0 || castling_letters_ != 0) {
        for (std::uint32_t bit = 0; bit < 16; ++bit)
            if (rights & (1u << bit)) *p++ = char(bit < 8 ? 'A' + bit : 'a' + bit - 8);
    } else {
        if (rights & CastlingMask::white_king_side) *p++ = 'K';
        if (rights & CastlingMask::white_queen_side) *p++ = 'Q';
        if (rights & CastlingMask::black_king_side) *p++ = 'k';
        if (rights & CastlingMask::black_queen_side) *p++ = 'q';
    }

    *p++ = ' ';
    const std::uint32_t ep = en_passant_square();
    if (ep == no_square) {
        *p++ = '-';
    } else {
        *p++ = char('a' + (ep & 7));
        *p++ = char('1' + (ep >> 3));
    }
    *p++ = ' ';
    p = write_number(p, half_move_clock());
    *p++ = ' ';
    p = write_number(p, full_move_number_);
    return std::size_t(p - out);
}

void ChessPosition::write_fen(std::string& out) const {
    char buffer[max_fen_length];
    out.assign(buffer, write_fen(buffer));
}

std::string ChessPosition::fen() const {
    char buffer[max_fen_length];
    return std::string(buffer, write_fen(buffer));
}

}  // namespace vorline
