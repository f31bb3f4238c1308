// Moves and legal-move generation: equality and castling texts, the order of the list, the
// legality rules perft leaves open, attack queries and game results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/move_list.h"
#include "support/reference_data.h"

namespace vorline {

namespace {

using Texts = std::vector<std::string>;

Texts moves_of(const std::string& fen) {
    ChessPosition p = position_from(fen);
    MoveList list;
    p.generate_legal_moves(list);
    Texts texts;
    for (Move move : list) texts.push_back(move.coordinate_text(true) + (move.check() ? "+" : ""));
    return texts;
}

// Equality ignores the ordering label but not the check bit.
TEST(Move, EqualityAndCoordinateTexts) {
    using namespace squares;
    const Move e2e4(e2, e4, Move::normal_move, Piece::white_pawn, Piece::no_piece);
    Move labelled = e2e4;
    labelled.set_xcode(Move::good_capture);
    EXPECT_EQ(labelled, e2e4);
    labelled.set_check(true);
    EXPECT_NE(labelled, e2e4);
    EXPECT_EQ(Move().coordinate_text(), "0000");
    // Standard castlings print in the king's two-square form unless the stored form is asked for.
    const std::tuple<std::uint32_t, std::uint32_t, const char*, bool> castlings[] = {
        {e1, h1, "e1g1", true}, {e8, a8, "e8c8", false}, {f1, g1, "f1g1", true}};
    for (const auto& [from, to, text, king_side] : castlings) {
        const Move castling(from, to, Move::castling, Piece::white_king, 0u);
        EXPECT_EQ(castling.coordinate_text(), text);
        EXPECT_EQ(castling.coordinate_text(true), Square{from}.name() + Square{to}.name());
        EXPECT_EQ(castling.is_king_side_castling(), king_side) << text;
    }
}

TEST(MoveGeneration, ListOrder) {
    EXPECT_EQ(
        moves_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
        (Texts{"b1a3", "b1c3", "g1f3", "g1h3", "a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4",
               "d2d3", "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4"}));
    // Captures first, promotions queen first; quiet moves with the king last; castling at the end.
    EXPECT_EQ(moves_of("rn2k3/1P6/8/8/8/8/8/N3K3 w - - 0 1"),
              (Texts{"b7a8q", "b7a8r", "b7a8b", "b7a8n", "a1c2", "a1b3", "e1d1", "e1f1", "e1d2",
                     "e1e2", "e1f2"}));
    const Texts castling = moves_of("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(Texts(castling.end() - 2, castling.end()), (Texts{"e1a1", "e1h1"}));
    // Castling may pass an attacked b1; rights without their rook, or with the king moved, give
    // nothing.
    EXPECT_EQ(moves_of("1r4k1/8/8/8/8/8/8/R3K2R w KQ - 0 1").size(), 26u);
    for (const char* fen : {"4k3/8/8/8/8/8/8/4K2r w K - 0 1", "4k3/8/8/8/8/8/4K3/R6R w KQ - 0 1"})
        for (const std::string& m : moves_of(fen)) EXPECT_NE(m.substr(0, 4), "e1h1") << fen;
}

// The filtered entry gives exactly the full list's moves of one piece kind to one square,
// in its order with its check bits, and the count its size: at the perft positions (or a
// few of them without the reference data) and one ply below, odd positions included.
TEST(MoveGeneration, FilteredMovesAndCountAgreeWithTheFullList) {
    const std::vector<std::string> fens = with_perft_positions(
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
         "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
         "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w BGbg - 0 1", "4k3/8/8/8/8/8/8/4K2K w - - 0 1"});
    const auto check = [](const ChessPosition& p) {
        MoveList all, some;
        p.generate_legal_moves(all);
        ASSERT_EQ(p.count_legal_moves(), all.count()) << p.fen();
        for (std::uint32_t kind = Piece::pawn; kind <= Piece::king; ++kind) {
            for (std::uint32_t to = 0; to < 64; ++to) {
                p.generate_legal_moves(some, kind, to);
                std::vector<Move> expected;
                for (Move m : all)
                    if (m.piece().kind() == kind && m.to_index() == to) expected.push_back(m);
                ASSERT_EQ(std::vector<Move>(some.begin(), some.end()), expected)
                    << p.fen() << " " << kind << " " << to;
            }
        }
    };
    for (const std::string& fen : fens) {
        ChessPosition p = position_from(fen);
        check(p);
        MoveList moves;
        p.generate_legal_moves(moves);
        for (Move move : moves) {
            p.make_move(move);
            check(p);
            p.unmake_move();
            if (HasFatalFailure()) return;
        }
    }
}

TEST(MoveGeneration, AttackQueriesAndPins) {
    using namespace squares;
    ChessPosition p(test_tables());
    p.set_start_position();
    EXPECT_EQ(p.attackers_by_white(square_table[f3]),
              square_table[e2] | square_table[g2] | square_table[g1]);
    EXPECT_EQ(p.least_valuable_attacker_white(square_table[f3]), e2);
    EXPECT_EQ(p.least_valuable_attacker_black(square_table[e4]), no_square);
    EXPECT_EQ(p.xray_attackers_by_white(square_table[d4]) & p.white_queens(), p.white_queens());
    p.fen("4k3/8/8/8/8/8/P6P/4K3 w - - 0 1");  // pawn captures do not wrap around the board
    EXPECT_EQ(p.attackers_by_white(square_table[h3]), 0u);
    EXPECT_EQ(p.attackers_by_white(square_table[g3]), square_table[h2]);
    // {position, pinned pieces, discovering pieces}
    const std::tuple<const char*, Bitboard, Bitboard> rows[] = {
        {"4k3/8/8/4n3/8/8/8/4R1K1 w - - 0 1", square_table[e5], 0},
        {"4k3/8/8/4N3/8/8/8/4R1K1 w - - 0 1", 0, square_table[e5]},
        {"4k3/8/4n3/4N3/8/8/8/4R1K1 w - - 0 1", 0, 0}};
    for (const auto& [fen, pinned, discovering] : rows) {
        p.fen(fen);
        EXPECT_EQ(p.pinned_pieces(), pinned) << fen;
        EXPECT_EQ(p.discovering_pieces(), discovering) << fen;
    }
}

TEST(MoveGeneration, CoordinateInputAndResults) {
    ChessPosition p(test_tables());
    p.set_start_position();
    EXPECT_FALSE(
        p.is_legal_move(Move(squares::e2, squares::e5, Move::normal_move, Piece::white_pawn, 0)));
    EXPECT_THROW(p.convert_to_move("e2e5"), MoveTextError);
    p.fen("r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(p.convert_to_move("O-O-O").to_index(), squares::a1);
    EXPECT_EQ(p.convert_to_move("e1g1"), p.convert_to_move("O-O"));
    EXPECT_EQ(p.convert_to_move("b7a8").code(), Move::promo_queen);
    EXPECT_EQ(p.convert_to_move("b7b8n").code(), Move::promo_knight);

    const std::pair<const char*, const char*> results[] = {
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "1/2-1/2 {Stalemate}"},
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "1-0 {White mates}"},
        {"8/8/8/8/8/6k1/8/5r1K w - - 0 1", "0-1 {Black mates}"},
        {"8/8/8/4k3/8/8/3B4/2b1K3 w - - 0 1", "1/2-1/2 {Draw by insufficient material}"},
        {"8/8/8/4k3/8/8/3B4/3bK3 w - - 0 1", "*"},  // bishops on both colours
        {"8/8/8/4k3/8/8/8/R3K3 w - - 100 80", "1/2-1/2 {Draw by fifty move rule}"}};
    for (const auto& [fen, result] : results)
        EXPECT_EQ(position_from(fen).result_text(), result) << fen;
    p.set_start_position();
    for (int i = 0; i < 2; ++i)
        for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) p.make_move(p.convert_to_move(m));
    EXPECT_EQ(p.result_text(), "1/2-1/2 {Draw by threefold repetition}");
}

}  // namespace

}  // namespace vorline
