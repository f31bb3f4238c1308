// Reading SAN tokens: lenient forms, origin hints, promotions, castling, the error texts,
// and that only legal moves (with their real check bit) ever come out.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "board/move_list.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace {

using namespace squares;

constexpr std::string_view start = ChessPosition::start_fen;

Move read(ChessPosition& position, std::string_view token) { return SanMove(position, token).move(); }

std::string error_of(ChessPosition& position, std::string_view token) {
    try {
        SanMove san(position, token);
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "(no error)";
}

std::string illegal_text(std::string_view token, const ChessPosition& position) {
    return "SanMove operator=(string): illegal move \"" + std::string(token) + "\"\nfen()=" + position.fen();
}

// Plays `tokens` (blank-separated) from the start position.
void play(ChessPosition& position, std::string_view tokens) {
    while (!tokens.empty()) {
        const std::size_t blank = tokens.find(' ');
        position.make_move(read(position, tokens.substr(0, blank)));
        tokens = blank == std::string_view::npos ? std::string_view() : tokens.substr(blank + 1);
    }
}

TEST(SanRead, AnnotationsAndCoordinateFormsGiveTheSameMove) {
    ChessPosition position = position_from(start);
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, Piece::no_piece);
    for (std::string_view token : {"e4", "e4!", "e4!?", "e4??", "e4 ", "e4 !", "e2e4", "e4+", "e4#", "Pe4"}) {
        const Move move = read(position, token);
        EXPECT_EQ(move, e2e4) << token;
        EXPECT_EQ(move.xcode(), 0u) << token;
    }
    // Only one check or mate mark is removed.
    EXPECT_EQ(error_of(position, "e4++"), illegal_text("e4++", position));
}

TEST(SanRead, KeepsTheTokenAsText) {
    ChessPosition position = position_from(start);
    SanMove san(position);
    EXPECT_TRUE(san.move().is_empty());
    EXPECT_EQ(san.text(), "");
    san = "e4!?";
    EXPECT_EQ(san.text(), "e4!?");
    const SanMove copy = san;
    EXPECT_EQ(copy.move(), san.move());
    EXPECT_EQ(copy.text(), "e4!?");
    EXPECT_EQ(&copy.position(), &position);
}

TEST(SanRead, PieceMovesWithAndWithoutOriginHints) {
    ChessPosition position = position_from(start);
    for (std::string_view token : {"Nf3", "Ng1f3", "Ngf3", "N1f3", "Nxf3"})
        EXPECT_EQ(read(position, token).coordinate_text(), "g1f3") << token;
    EXPECT_EQ(read(position, "Nc3").coordinate_text(), "b1c3");
    EXPECT_EQ(error_of(position, "Nf6"), illegal_text("Nf6", position));
    EXPECT_EQ(error_of(position, "Nbf3"), illegal_text("Nbf3", position));
    EXPECT_EQ(error_of(position, "Ng2f3"), illegal_text("Ng2f3", position));
    EXPECT_EQ(error_of(position, "Bf3"), illegal_text("Bf3", position));
}

TEST(SanRead, PiecesTakeTheColourOfTheSideToMove) {
    ChessPosition position = position_from(start);
    play(position, "e4");
    EXPECT_EQ(read(position, "Nf6").coordinate_text(), "g8f6");
    EXPECT_EQ(read(position, "e5").coordinate_text(), "e7e5");
    EXPECT_EQ(read(position, "e5").piece(), Piece(Piece::black_pawn));
    EXPECT_EQ(error_of(position, "Nf3"), illegal_text("Nf3", position));
}

TEST(SanRead, OnlyTheFiveLettersNamePieces) {
    ChessPosition position = position_from("4k3/8/8/8/8/8/4P3/4K1N1 w - - 0 1");
    EXPECT_EQ(read(position, "Nf3").coordinate_text(), "g1f3");
    EXPECT_EQ(read(position, "Kd1").coordinate_text(), "e1d1");
    // Other letters, lower case and digits in front mean a pawn.
    for (std::string_view token : {"Pe3", "Ce3", "Oe3", "Le3", "ne3", "Ze3", "?e3"})
        EXPECT_EQ(read(position, token).coordinate_text(), "e2e3") << token;
    EXPECT_EQ(error_of(position, "nf3"), illegal_text("nf3", position));  // no pawn reaches f3
}

TEST(SanRead, AmbiguousTokensTakeTheFirstMoveInListOrder) {
    // Black knights on b8 and f6 can both reach d7.
    ChessPosition position = position_from("rnbqkb1r/ppp1pppp/5n2/3p4/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 0 1");
    EXPECT_EQ(read(position, "Nbd7").coordinate_text(), "b8d7");
    EXPECT_EQ(read(position, "Nfd7").coordinate_text(), "f6d7");
    EXPECT_EQ(read(position, "Nd7").coordinate_text(), "f6d7");  // f6 is the lower square
}

TEST(SanRead, OriginRankAndFullOriginHints) {
    // Rooks on e1 and e3 reach e2; queens on h4, e4 and h1 reach e1 (captures a rook).
    ChessPosition position = position_from("1k6/8/8/8/4Q2Q/8/K7/4r2Q w - - 0 1");
    EXPECT_EQ(read(position, "Qh4xe1").coordinate_text(), "h4e1");
    EXPECT_EQ(read(position, "Qh4xe1").capture(), Piece(Piece::black_rook));
    EXPECT_EQ(read(position, "Qh1xe1").coordinate_text(), "h1e1");
    EXPECT_EQ(read(position, "Qe4xe1").coordinate_text(), "e4e1");
    // Partial hints take the first fitting move in list order (lower squares first).
    EXPECT_EQ(read(position, "Qhxe1").coordinate_text(), "h1e1");
    EXPECT_EQ(read(position, "Q4xe1").coordinate_text(), "e4e1");
    EXPECT_EQ(read(position, "Qxe1").coordinate_text(), "h1e1");
    position.fen("k7/8/8/8/8/4R3/8/K3R3 w - - 0 1");
    EXPECT_EQ(read(position, "R1e2").coordinate_text(), "e1e2");
    EXPECT_EQ(read(position, "R3e2").coordinate_text(), "e3e2");
    EXPECT_EQ(read(position, "Re2").coordinate_text(), "e1e2");
}

TEST(SanRead, PawnCapturesAndEnPassant) {
    ChessPosition position = position_from(start);
    play(position, "e4 d5");
    EXPECT_EQ(read(position, "exd5").coordinate_text(), "e4d5");
    EXPECT_EQ(read(position, "exd5").capture(), Piece(Piece::black_pawn));
    EXPECT_EQ(read(position, "ed5").coordinate_text(), "e4d5");
    EXPECT_EQ(read(position, "e4d5").coordinate_text(), "e4d5");

    play(position, "e5 f5");
    const Move ep = read(position, "exf6");
    EXPECT_EQ(ep.code(), std::uint32_t(Move::en_passant));
    EXPECT_EQ(ep.coordinate_text(), "e5f6");
    EXPECT_EQ(ep.capture(), Piece(Piece::black_pawn));
    // No en passant suffix is read.
    EXPECT_EQ(error_of(position, "exf6ep"), illegal_text("exf6ep", position));
    EXPECT_EQ(error_of(position, "exf6e.p."), illegal_text("exf6e.p.", position));
}

TEST(SanRead, Promotions) {
    ChessPosition position = position_from("3r4/4P1k1/8/8/8/8/8/4K3 w - - 0 1");
    const Move queen = read(position, "e8=Q");
    EXPECT_EQ(queen.code(), std::uint32_t(Move::promo_queen));
    EXPECT_EQ(queen.coordinate_text(), "e7e8q");
    EXPECT_EQ(read(position, "e8=R").code(), std::uint32_t(Move::promo_rook));
    EXPECT_EQ(read(position, "e8=B").code(), std::uint32_t(Move::promo_bishop));
    EXPECT_EQ(read(position, "e8=N+").code(), std::uint32_t(Move::promo_knight));
    EXPECT_EQ(read(position, "e8=N+").check(), true);
    EXPECT_EQ(read(position, "e8=Q!").code(), std::uint32_t(Move::promo_queen));
    const Move capture = read(position, "exd8=R");
    EXPECT_EQ(capture.coordinate_text(), "e7d8r");
    EXPECT_EQ(capture.capture(), Piece(Piece::black_rook));
    // Without a suffix the first promotion in list order, the queen, is taken.
    EXPECT_EQ(read(position, "e8").code(), std::uint32_t(Move::promo_queen));
    EXPECT_EQ(read(position, "e7e8").code(), std::uint32_t(Move::promo_queen));

    const std::string format = "SanMove operator=(): wrong promotion format";
    EXPECT_EQ(error_of(position, "e8=q"), format);
    EXPECT_EQ(error_of(position, "e8=K"), format);
    EXPECT_EQ(error_of(position, "e8=P+"), format);
    // A suffix without "=" is not read.
    EXPECT_EQ(error_of(position, "e8Q"), illegal_text("e8Q", position));
    EXPECT_EQ(error_of(position, "e7e8q"), illegal_text("e7e8q", position));
}

TEST(SanRead, PromotionSuffixMatchesOnlyPromotions) {
    ChessPosition position = position_from(start);
    for (std::string_view token : {"e4=Q", "e3=N", "Nf3=Q", "e2e4=R"}) {
        SanMove san(position);
        EXPECT_EQ(error_of(position, token), illegal_text(token, position)) << token;
        EXPECT_THROW(san = token, std::logic_error);
        EXPECT_TRUE(san.move().is_empty()) << token;
    }
    EXPECT_EQ(position.fen(), start);

    // A pawn that can promote by a capture but not on the square named.
    position.fen("3rk3/4P3/8/8/8/8/6P1/4K3 w - - 0 1");
    EXPECT_EQ(error_of(position, "g3=Q"), illegal_text("g3=Q", position));
    EXPECT_EQ(error_of(position, "Kd2=Q"), illegal_text("Kd2=Q", position));
}

TEST(SanRead, CastlingOnlyForTheExactTokens) {
    ChessPosition position = position_from("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    for (std::string_view token : {"O-O", "O-O+", "O-O#"}) {
        const Move move = read(position, token);
        EXPECT_EQ(move.code(), std::uint32_t(Move::castling)) << token;
        EXPECT_EQ(move.coordinate_text(true), "e1h1") << token;
        EXPECT_FALSE(move.check()) << token;
    }
    for (std::string_view token : {"O-O-O", "O-O-O+", "O-O-O#"})
        EXPECT_EQ(read(position, token).coordinate_text(true), "e1a1") << token;
    for (std::string_view token : {"0-0", "0-0-0", "O-O!", "O-O-O?", "o-o", "OO", "O-O-O-O"})
        EXPECT_EQ(error_of(position, token), illegal_text(token, position)) << token;

    position.fen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    EXPECT_EQ(read(position, "O-O").coordinate_text(true), "e8h8");
    EXPECT_EQ(read(position, "O-O-O").coordinate_text(true), "e8a8");

    // Castling that is not legal: the f1 square is attacked.
    position.fen("r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1");
    EXPECT_EQ(error_of(position, "O-O"), illegal_text("O-O", position));
}

TEST(SanRead, IllegalCharacterIsFoundFirst) {
    ChessPosition position = position_from(start);
    const std::string illegal = "SanMove operator=(): Illegal character found";
    for (std::string_view token : {")", "e4)", "e4)!", "e4)+", "e8=X)", "Nf6)"})
        EXPECT_EQ(error_of(position, token), illegal) << token;
    // A ")" before a second mark or inside the token is no last character.
    EXPECT_EQ(error_of(position, "e4)++"), illegal_text("e4)++", position));
    EXPECT_EQ(error_of(position, "e)4"), illegal_text("e)4", position));
}

TEST(SanRead, TokensWithoutADestinationAreIllegal) {
    ChessPosition position = position_from(start);
    for (std::string_view token : {"", " ", "+", "#", "!!", "e", "4", "N", "Nf", "=Q", "--", "Z0", "e9", "i4"})
        EXPECT_EQ(error_of(position, token), illegal_text(token, position)) << '"' << token << '"';
}

TEST(SanRead, TheIllegalMoveTextCarriesTokenAndFen) {
    ChessPosition position = position_from(start);
    EXPECT_EQ(error_of(position, "Nf6"),
              "SanMove operator=(string): illegal move \"Nf6\"\n"
              "fen()=rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
}

TEST(SanRead, AFailedTokenLeavesNoMoveAndTheSanMoveReusable) {
    ChessPosition position = position_from(start);
    SanMove san(position, "e4");
    EXPECT_THROW(san = "Nf6", std::logic_error);
    EXPECT_TRUE(san.move().is_empty());
    EXPECT_EQ(san.text(), "Nf6");
    EXPECT_THROW(san = "e8=X", std::logic_error);
    EXPECT_TRUE(san.move().is_empty());
    san = "d4";
    EXPECT_EQ(san.move().coordinate_text(), "d2d4");
    EXPECT_EQ(position.fen(), start);
}

// The check bit steers the position's in-check flag and through it legal-move generation,
// so it comes from the generator: a missing or a surplus "+" in a game must not matter.
TEST(SanRead, CheckBitComesFromThePositionNotFromTheMark) {
    ChessPosition position = position_from(start);
    EXPECT_FALSE(read(position, "e4+").check());
    EXPECT_FALSE(read(position, "e4#").check());

    play(position, "e4 e5 Nf3 d6");
    EXPECT_TRUE(read(position, "Bb5").check());
    EXPECT_TRUE(read(position, "Bb5+").check());

    // Fool's mate written without its mark still leaves White mated.
    position.set_start_position();
    play(position, "f3 e5 g4 Qh4");
    EXPECT_TRUE(position.in_check());
    MoveList replies;
    position.generate_legal_moves(replies);
    EXPECT_TRUE(replies.empty());
}

TEST(SanRead, AMissingCheckMarkDoesNotLetIllegalMovesThrough) {
    // 1.e4 e5 2.Bc4 Nc6 3.Qh5 Nf6 4.Qxf7 (mate, written bare): Black has no move at all,
    // so moves that ignore the check are refused.
    ChessPosition position = position_from(start);
    play(position, "e4 e5 Bc4 Nc6 Qh5 Nf6 Qxf7");
    for (std::string_view token : {"Nxe4", "a6", "Ke7", "Kxf7"})
        EXPECT_EQ(error_of(position, token), illegal_text(token, position)) << token;

    // A checked side must answer the check: after 1.e4 d6 2.Bb5 (bare check), c6 blocks
    // and a5 does not.
    position.set_start_position();
    play(position, "e4 d6 Bb5");
    EXPECT_EQ(read(position, "c6").coordinate_text(), "c7c6");
    EXPECT_EQ(error_of(position, "a5"), illegal_text("a5", position));
}

TEST(SanRead, ReadingLeavesThePositionAlone) {
    ChessPosition position = position_from("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1");
    const std::string fen = position.fen();
    const std::uint64_t key = position.hash();
    for (std::string_view token : {"Kh1", "Qxa1", "Nxg8", "c5", "Nf6", "e8=Q", ")"}) {
        try {
            SanMove san(position, token);
        } catch (const std::logic_error&) {
        }
    }
    EXPECT_EQ(position.fen(), fen);
    EXPECT_EQ(position.hash(), key);
}

}  // namespace
