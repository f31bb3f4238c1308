// Reading SAN tokens: lenient forms, origin hints, promotions, castling, the three error
// texts, and that only legal moves, with the check bit of the position, ever come out.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "board/move_list.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace vorline {

namespace {

// Where a row is read: a FEN (it holds "/") or moves played from the start position.
ChessPosition set_up(std::string_view where) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    if (where.find('/') != std::string_view::npos) {
        position.fen(where);
        return position;
    }
    while (!where.empty()) {
        const std::size_t blank = where.find(' ');
        position.make_move(SanMove(position, where.substr(0, blank)).move());
        where = blank == std::string_view::npos ? std::string_view() : where.substr(blank + 1);
    }
    return position;
}

// The legal move in coordinate form ("e1h1" for castling), or the error the token gives:
// "illegal" for the illegal-move text (checked word for word), "format", "character".
std::string outcome(ChessPosition& position, std::string_view token) {
    const std::string illegal = "SanMove operator=(string): illegal move \"" + std::string(token) +
                                "\"\nfen()=" + position.fen();
    Move move;
    try {
        move = SanMove(position, token).move();
    } catch (const SanError& e) {
        const std::string what = e.what();
        if (what == illegal) return "illegal";
        if (what == "SanMove operator=(): wrong promotion format") return "format";
        if (what == "SanMove operator=(): Illegal character found") return "character";
        return "unknown error: " + what;
    }
    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move legal : moves)
        if (legal == move) return move.coordinate_text(true);  // check bit as generated
    return "not a legal move: " + move.dump();
}

constexpr const char* start = "";
constexpr const char* castling = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
constexpr const char* promoting = "3r4/4P1k1/8/8/8/8/8/4K3 w - - 0 1";
// Knights on b8 and f6 reach d7; queens on h4, e4 and h1 reach e1; rooks on e1 and e3 reach e2.
constexpr const char* knights = "rnbqkb1r/ppp1pppp/5n2/3p4/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1";
constexpr const char* queens = "1k6/8/8/8/4Q2Q/8/K7/4r2Q w - - 0 1";
constexpr const char* rooks = "k7/8/8/8/8/4R3/8/K3R3 w - - 0 1";

struct Row {
    const char* where;
    std::vector<const char*> tokens;
    const char* expected;
};

const Row rows[] = {
    // Annotations, one check or mate mark, a space, coordinates, "P" are all passed over.
    {start, {"e4", "e4!", "e4!?", "e4??", "e4 ", "e4 !", "e2e4", "e4+", "e4#", "Pe4"}, "e2e4"},
    {start, {"e4++", "Nf6", "Bf3", "Nbf3", "Ng2f3"}, "illegal"},
    {start, {"Nf3", "Ng1f3", "Ngf3", "N1f3", "Nxf3"}, "g1f3"},  // the "x" is not checked
    {"e4", {"Nf3"}, "illegal"},  // pieces take the colour of the side to move
    // Only B, K, N, Q, R name pieces: any other first character means a pawn.
    {"4k3/8/8/8/8/8/4P3/4K1N1 w - - 0 1", {"Ce3", "Oe3", "Le3", "ne3", "Ze3", "?e3"}, "e2e3"},
    // Ambiguous tokens take the first fitting move in list order, lower squares first.
    {knights, {"Nfd7", "Nd7"}, "f6d7"},
    {queens, {"Qh1xe1", "Qhxe1", "Qxe1"}, "h1e1"},
    {queens, {"Qe4xe1", "Q4xe1"}, "e4e1"},
    {rooks, {"R1e2", "Re2"}, "e1e2"},
    {"e4 d5", {"exd5", "ed5", "e4d5"}, "e4d5"},
    {"e4 d5 e5 f5", {"exf6"}, "e5f6"},
    {"e4 d5 e5 f5", {"exf6ep", "exf6e.p."}, "illegal"},
    // Promotions: without a suffix the queen, the first in list order.
    {promoting, {"e8=Q", "e8=Q!", "e8", "e7e8"}, "e7e8q"},
    {promoting, {"e8=N+", "e8=N"}, "e7e8n"},
    {promoting, {"exd8=R"}, "e7d8r"},
    {promoting, {"e8=q", "e8=K", "e8=P+"}, "format"},
    {promoting, {"e8Q", "e7e8q"}, "illegal"},
    // A suffix names one promotion; it never turns another move into one.
    {start, {"e4=Q", "e3=N", "Nf3=Q", "e2e4=R"}, "illegal"},
    {"3rk3/4P3/8/8/8/8/6P1/4K3 w - - 0 1", {"g3=Q", "Kd2=Q"}, "illegal"},
    // Castling only for the exact tokens.
    {castling, {"O-O", "O-O+", "O-O#"}, "e1h1"},
    {castling, {"O-O-O", "O-O-O+", "O-O-O#"}, "e1a1"},
    {castling, {"0-0", "0-0-0", "O-O!", "O-O-O?", "o-o", "OO", "O-O-O-O"}, "illegal"},
    {"r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1", {"O-O"}, "illegal"},  // f1 attacked
    // A ")" as last character, before at most one mark and any annotations.
    {start, {")", "e4)", "e4)!", "e4)+", "e8=X)", "Nf6)"}, "character"},
    {start, {"e4)++", "e)4"}, "illegal"},
    {start,
     {"", " ", "+", "#", "!!", "e", "4", "N", "Nf", "=Q", "--", "Z0", "e9", "i4"},
     "illegal"},
    // The check bit comes from the position, not from the mark: a game that leaves out or
    // adds a "+" keeps the in-check state right, and with it the legal moves.
    {"f3 e5 g4", {"Qh4", "Qh4+"}, "d8h4"},
    {"e4 e5 Bc4 Nc6 Qh5 Nf6 Qxf7", {"Nxe4", "a6", "Ke7", "Kxf7"}, "illegal"},  // mated
    {"e4 d6 Bb5", {"a5"}, "illegal"},
};

TEST(SanRead, TokensGiveTheGeneratedMoveOrTheirError) {
    for (const Row& row : rows) {
        ChessPosition position = set_up(row.where);
        for (const char* token : row.tokens) {
            SCOPED_TRACE(std::string(row.where) + " \"" + token + "\"");
            EXPECT_EQ(outcome(position, token), row.expected);
        }
    }
}

TEST(SanRead, AFailedTokenLeavesNoMoveAndTheSanMoveReusable) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    SanMove san(position, "e4!?");
    EXPECT_EQ(san.text(), "e4!?");
    EXPECT_THROW(san = "Nf6", SanError);
    EXPECT_TRUE(san.move().is_empty());
    EXPECT_EQ(san.text(), "Nf6");
    EXPECT_THROW(san = "e8=X", SanError);
    EXPECT_TRUE(san.move().is_empty());
    san = "d4";
    EXPECT_EQ(san.move().coordinate_text(), "d2d4");
}

}  // namespace

}  // namespace vorline
