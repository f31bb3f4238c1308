// Reading and writing FEN (and the position part of EPD lines).
#include <array>
#include <cstring>
#include <functional>

#include "board/board_errors.h"
#include "board/chess_position.h"

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
// square, a digit 1-8 moves on as many, "/" goes to file a of the next rank down.
struct PlacementByte {
    std::uint8_t valid = 0;
    std::uint8_t code = 0;
    std::uint8_t squares = 0;
    std::uint8_t next_rank = 0;
};
constexpr std::array<PlacementByte, 256> placement_bytes = [] {
    std::array<PlacementByte, 256> bytes{};
    for (int c = 0; c < 256; ++c) {
        PlacementByte& b = bytes[std::size_t(c)];
        if (const std::uint32_t code = piece_code(char(c))) b = {1, std::uint8_t(code), 1, 0};
        if (c >= '1' && c <= '8') b = {1, 0, std::uint8_t(c - '0'), 0};
        if (c == '/') b = {1, 0, 0, 1};
    }
    return bytes;
}();

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

}  // namespace

void ChessPosition::fen(std::string_view text) {
    // The position's own FEN text is rewritten below, so a view of it is read from a copy.
    const std::less_equal<const char*> at_or_before;
    if (at_or_before(fen_text_.data(), text.data()) &&
        at_or_before(text.data(), fen_text_.data() + fen_text_.size()))
        return fen(std::string(text));

    std::array<std::string_view, 6> fields = {"", "", "", "", "0", "1"};
    std::size_t pos = 0;
    for (std::size_t n = 0; n < fields.size(); ++n) {
        while (pos < text.size() && is_space(text[pos])) ++pos;
        if (pos == text.size()) break;
        const std::size_t start = pos;
        while (pos < text.size() && !is_space(text[pos])) ++pos;
        fields[n] = text.substr(start, pos - start);
    }
    long long half_moves = 0;
    long long full_moves = 1;
    if (!read_number(fields[4], half_moves)) fields[4] = "0";
    if (!read_number(fields[5], full_moves)) fields[5] = "1";

    // The placement is read into a scratch board and bitboards first, so that a bad one
    // can leave the position as clear() makes it. The cursor stays within its rank: a rank
    // of more than eight squares or a ninth rank is an error, a "/" starts the next rank at
    // file a.
    std::array<std::uint8_t, 64> placed{};
    decltype(piece_bitboards_) boards{};
    const char* error = nullptr;
    int rank = 7;
    int file = 0;
    // Every byte is handled alike, without a branch on its kind, as the kinds follow each
    // other at random.
    for (const char c : fields[0]) {
        const PlacementByte byte = placement_bytes[static_cast<unsigned char>(c)];
        if (!byte.valid) {
            static constexpr char hex[] = "0123456789abcdef";
            const unsigned char value = static_cast<unsigned char>(c);
            std::string what = "unkown piece 0x";
            if (value >= 16) what += hex[value >> 4];
            what += hex[value & 15];
            placement_error(text, what, *this);
        }
        const int next_file = byte.next_rank ? 0 : file + byte.squares;
        if (byte.next_rank && rank == 0) {
            error = "placement has more than eight ranks";
            break;
        }
        if (next_file > 8) {
            error = "rank of more than eight squares";
            break;
        }
        // A digit or "/" may stand after the last square of a rank; it places nothing.
        const std::uint32_t square = std::uint32_t(8 * rank + file) & 63;
        placed[square] |= byte.code;
        boards[byte.code] |= square_table[square];
        rank -= byte.next_rank;
        file = next_file;
    }
    boards[Piece::no_piece] = 0;
    if (error) placement_error(text, error, *this);

    for (std::size_t s = 0; s < 64; ++s) board_[s] = placed[s];
    piece_bitboards_ = boards;
    update_summaries();
    side_to_move_ = fields[1] == "w" ? 1 : 0;

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

    std::uint32_t en_passant = no_square;
    const std::string_view ep = fields[3];
    if (!ep.empty() && ep[0] >= 'a' && ep[0] <= 'h')
        en_passant = std::uint32_t(ep[0] - 'a') + (ep.size() > 1 && ep[1] == '3' ? 16 : 40);

    fen_text_.clear();
    for (std::size_t n = 0; n < fields.size(); ++n) {
        if (n != 0) fen_text_ += ' ';
        fen_text_ += fields[n];
    }

    history_.clear();
    HistoryEntry& entry = history_.emplace_back();
    entry.castling_rights = rights;
    entry.half_move_clock = clamp_to_16_bits(half_moves);
    entry.en_passant_square = en_passant;
    full_move_number_ = clamp_to_16_bits(full_moves);
    movecounter_ = 0;

    if (white_king() != 0 && black_king() != 0) compute_pins();
    hash_keys_.recompute(*this);
    repetition_list_.clear();
    repetition_list_.push_back(hash());
    update_in_check();
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
