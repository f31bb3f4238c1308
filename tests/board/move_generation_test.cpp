// Legal-move generation: the order of the list, legality rules and check bits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board_fixtures.h"

namespace {

std::vector<std::string> moves_of(const std::string& fen) {
    ChessPosition p = position_from(fen);
    MoveList list;
    p.generate_legal_moves(list);
    EXPECT_EQ(list.position(), &p);
    std::vector<std::string> texts;
    for (Move move : list) texts.push_back(move.coordinate_text(true) + (move.check() ? "+" : ""));
    return texts;
}

using Texts = std::vector<std::string>;

TEST(MoveGeneration, InitialPositionOrder) {
    EXPECT_EQ(moves_of("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
              (Texts{"b1a3", "b1c3", "g1f3", "g1h3", "a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4",
                     "d2d3", "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4"}));
    // Black's targets go by ascending square too: the double step comes first.
    const Texts black = moves_of("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    ASSERT_EQ(black.size(), 20u);
    EXPECT_EQ(black[0], "b8a6");
    EXPECT_EQ(black[4], "a7a5");
    EXPECT_EQ(black[5], "a7a6");
}

TEST(MoveGeneration, CapturesAndPromotionsComeFirst) {
    // The pawn's capture, then its promotions by target square, queen first; then the
    // knight's capture; then the quiet moves with the king last.
    EXPECT_EQ(moves_of("rn2k3/1P6/8/8/8/8/8/N3K3 w - - 0 1"),
              (Texts{"b7a8q", "b7a8r", "b7a8b", "b7a8n", "a1c2", "a1b3", "e1d1", "e1f1", "e1d2", "e1e2", "e1f2"}));
    EXPECT_EQ(moves_of("rn5k/1P6/8/8/8/8/8/4K3 w - - 0 1"),
              (Texts{"b7a8q", "b7a8r", "b7a8b", "b7a8n", "e1d1", "e1f1", "e1d2", "e1e2", "e1f2"}));
    EXPECT_EQ(moves_of("r6k/1P6/8/8/8/8/8/4K3 w - - 0 1").size(), 13u);  // b7a8 and b7b8, four each
    EXPECT_EQ(moves_of("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1")[0], "e5d6");
}

TEST(MoveGeneration, CheckEvasionsPinsAndEnPassantTraps) {
    // Rook check: king steps (not along the rook's line), capture and blocks only.
    EXPECT_EQ(moves_of("4r1k1/8/8/8/8/2B5/8/1R2K3 w - - 0 1"), (Texts{"c3e5", "e1d1", "e1f1", "e1d2", "e1f2"}));
    EXPECT_EQ(moves_of("4r1k1/8/8/8/8/2B5/1R6/4K3 w - - 0 1"),
              (Texts{"c3e5", "b2e2", "e1d1", "e1f1", "e1d2", "e1f2"}));
    // Double check: the king alone moves.
    EXPECT_EQ(moves_of("4r1k1/8/8/8/8/2B2n2/1R6/4K3 w - - 0 1"), (Texts{"e1d1", "e1f1", "e1f2"}));
    // A pinned knight has no move; a pinned rook moves along the pin, taking the pinner.
    EXPECT_EQ(moves_of("4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1"),
              (Texts{"e1d1", "e1f1", "e1d2", "e1f2"}));
    EXPECT_EQ(moves_of("4r1k1/8/8/8/8/8/4R3/4K3 w - - 0 1"),
              (Texts{"e2e8+", "e2e3", "e2e4", "e2e5", "e2e6", "e2e7", "e1d1", "e1f1", "e1d2", "e1f2"}));
    // Taking en passant would open the fifth rank to the rook.
    for (const std::string& m : moves_of("8/8/8/K2pP2r/8/8/8/7k w - d6 0 1")) EXPECT_NE(m, "e5d6");
    // A pawn that gives check can be taken en passant.
    EXPECT_EQ(moves_of("8/8/8/2k5/3Pp3/8/8/7K b - d3 0 1"),
              (Texts{"e4d3", "c5d4", "c5b4", "c5c4", "c5b5", "c5d5", "c5b6", "c5c6", "c5d6"}));
    // An en passant square with no pawn to take gives no capture.
    EXPECT_EQ(moves_of("4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1")[0], "e5e6");
}

TEST(MoveGeneration, CastlingIsLastAndNeedsAFreeSafePath) {
    const Texts both = moves_of("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    ASSERT_EQ(both.size(), 26u);
    EXPECT_EQ(both[24], "e1a1");
    EXPECT_EQ(both[25], "e1h1");
    const auto castlings = [](const std::string& fen) {
        Texts found;
        ChessPosition p = position_from(fen);
        MoveList list;
        p.generate_legal_moves(list);
        for (Move move : list)
            if (move.is_castling()) found.push_back(move.coordinate_text(true) + (move.check() ? "+" : ""));
        return found;
    };
    EXPECT_EQ(castlings("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"), (Texts{"e1a1", "e1h1"}));
    EXPECT_EQ(castlings("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1"), (Texts{"e8a8", "e8h8"}));
    EXPECT_EQ(castlings("4k3/8/8/8/8/8/8/R3K2R w - - 0 1"), Texts{});
    EXPECT_EQ(castlings("4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), Texts{});         // in check
    EXPECT_EQ(castlings("5rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), (Texts{"e1a1"}));  // f1 attacked
    EXPECT_EQ(castlings("2r3k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), (Texts{"e1h1"})); // lands on c1
    EXPECT_EQ(castlings("1r4k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"), (Texts{"e1a1", "e1h1"}));  // b1 may be attacked
    EXPECT_EQ(castlings("6k1/8/8/8/8/8/8/RN2K1NR w KQ - 0 1"), Texts{});
    EXPECT_EQ(castlings("5k2/8/8/8/8/8/8/4K2R w K - 0 1"), (Texts{"e1h1+"}));
    EXPECT_EQ(castlings("3k4/8/8/8/8/8/8/R3K3 w Q - 0 1"), (Texts{"e1a1+"}));
    // Rights without their rook, or with the king off its square, move nothing.
    EXPECT_EQ(castlings("4k3/8/8/8/8/8/8/4K3 w KQkq - 0 1"), Texts{});
    EXPECT_EQ(castlings("4k3/8/8/8/8/8/8/4K2r w K - 0 1"), Texts{});
    EXPECT_EQ(castlings("4k3/8/8/8/8/8/4K3/R6R w KQ - 0 1"), Texts{});
}

TEST(MoveGeneration, CheckBitsForDirectDiscoveredAndSpecialMoves) {
    // Discovered check by a pawn push, a promotion checking along the file it opened, a
    // knight promotion, and an en passant capture that opens a diagonal.
    const Texts discovered = moves_of("4k3/8/8/8/8/4P3/8/K3R3 w - - 0 1");
    EXPECT_NE(std::find(discovered.begin(), discovered.end(), "e3e4"), discovered.end());  // pawn stays on the file
    const Texts bishop_line = moves_of("7k/8/8/8/8/2P5/8/B3K3 w - - 0 1");
    EXPECT_NE(std::find(bishop_line.begin(), bishop_line.end(), "c3c4+"), bishop_line.end());
    const Texts promotion = moves_of("k7/4P3/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(Texts(promotion.begin(), promotion.begin() + 4), (Texts{"e7e8q+", "e7e8r+", "e7e8b", "e7e8n"}));
    // Promoting opens the bishop's diagonal: every piece checks.
    const Texts opened = moves_of("4k3/3P4/8/8/B7/8/8/K7 w - - 0 1");
    EXPECT_EQ(Texts(opened.begin(), opened.begin() + 4), (Texts{"d7d8q+", "d7d8r+", "d7d8b+", "d7d8n+"}));
    EXPECT_EQ(moves_of("8/4P3/3k4/8/8/8/8/4K3 w - - 0 1")[3], "e7e8n+");
    EXPECT_EQ(moves_of("8/4P1k1/8/8/8/8/8/4K3 w - - 0 1")[3], "e7e8n+");
    EXPECT_EQ(moves_of("8/4P3/6k1/8/8/8/8/4K3 w - - 0 1")[3], "e7e8n");
    EXPECT_EQ(moves_of("8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1")[0], "c4d3+");
    EXPECT_EQ(moves_of("8/8/8/8/3Pp3/8/4K3/7k b - d3 0 1")[0], "e4d3+");
}

TEST(MoveGeneration, AttackQueriesAndPins) {
    using namespace squares;
    ChessPosition p(test_tables());
    p.set_start_position();
    EXPECT_EQ(p.attackers_by_white(square_table[f3]), square_table[e2] | square_table[g2] | square_table[g1]);
    EXPECT_EQ(p.attackers_by_black(square_table[e6]), square_table[d7] | square_table[f7]);
    EXPECT_EQ(p.least_valuable_attacker_white(square_table[f3]), e2);
    EXPECT_EQ(p.least_valuable_attacker_black(square_table[e4]), no_square);
    EXPECT_EQ(p.xray_attackers_by_white(square_table[d4]) & p.white_queens(), p.white_queens());
    p.fen("4k3/8/8/8/8/8/P6P/4K3 w - - 0 1");  // pawn captures do not wrap around the board
    EXPECT_EQ(p.attackers_by_white(square_table[b3]), square_table[a2]);
    EXPECT_EQ(p.attackers_by_white(square_table[h3]), 0u);
    EXPECT_EQ(p.attackers_by_white(square_table[g3]), square_table[h2]);

    // {position, pinned pieces, discovering pieces}
    const std::tuple<const char*, Bitboard, Bitboard> rows[] = {
        {"4k3/8/8/4n3/8/8/8/4R1K1 w - - 0 1", square_table[e5], 0},
        {"4k3/8/8/4N3/8/8/8/4R1K1 w - - 0 1", 0, square_table[e5]},
        {"4k3/8/4n3/4N3/8/8/8/4R1K1 w - - 0 1", 0, 0},
        {"4k3/8/2n5/1B6/8/8/8/6K1 b - - 0 1", square_table[c6], 0},
        {"4k3/3p4/2n5/1B6/8/8/8/6K1 b - - 0 1", 0, 0}};
    for (const auto& [fen, pinned, discovering] : rows) {
        p.fen(fen);
        EXPECT_EQ(p.pinned_pieces(), pinned) << fen;
        EXPECT_EQ(p.discovering_pieces(), discovering) << fen;
    }
}

TEST(MoveGeneration, LegalityResultsAndCoordinateInput) {
    ChessPosition p(test_tables());
    p.set_start_position();
    EXPECT_TRUE(p.is_legal_move(p.convert_to_move("e2e4")));
    EXPECT_FALSE(p.is_legal_move(Move(squares::e2, squares::e5, Move::normal_move, Piece::white_pawn, 0)));
    EXPECT_THROW(p.convert_to_move("e2e5"), std::logic_error);
    try {
        p.convert_to_move("e9e4");
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "ChessPosition::convert_to_move(const string& e9e4)");
    }
    try {
        p.convert_to_move("O-O");
        FAIL();
    } catch (const std::logic_error& e) {
        EXPECT_EQ(std::string(e.what()), "ChessPosition::convert_to_move(string)   " + p.fen() +
                                             "    illegal move O-O   cp.id=" + std::to_string(p.id()) + "\n");
    }

    p.fen("r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_EQ(p.convert_to_move("O-O").to_index(), squares::h1);
    EXPECT_EQ(p.convert_to_move("O-O-O").to_index(), squares::a1);
    EXPECT_EQ(p.convert_to_move("e1g1"), p.convert_to_move("O-O"));
    EXPECT_EQ(p.convert_to_move("b7a8").code(), Move::promo_queen);
    EXPECT_EQ(p.convert_to_move("b7b8n").code(), Move::promo_knight);
    EXPECT_THROW(p.convert_to_move("b7b8k"), std::logic_error);

    const std::pair<const char*, const char*> results[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "*"},
        {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "1/2-1/2 {Stalemate}"},
        {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "1-0 {White mates}"},
        {"8/8/8/8/8/6k1/8/5r1K w - - 0 1", "0-1 {Black mates}"},
        {"8/8/8/4k3/8/8/2B5/4K3 w - - 0 1", "1/2-1/2 {Draw by insufficient material}"},
        {"8/8/3b4/4k3/8/8/2B5/4K3 w - - 0 1", "*"},  // bishops on both colours
        {"8/8/8/4k3/8/8/3B4/2b1K3 w - - 0 1", "1/2-1/2 {Draw by insufficient material}"},
        {"8/8/8/4k3/8/8/3B4/3bK3 w - - 0 1", "*"},
        {"8/8/8/4k3/8/8/8/R3K3 w - - 100 80", "1/2-1/2 {Draw by fifty move rule}"}};
    for (const auto& [fen, result] : results) EXPECT_EQ(position_from(fen).result_text(), result) << fen;
    p.set_start_position();
    for (int i = 0; i < 2; ++i)
        for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) p.make_move(p.convert_to_move(m));
    EXPECT_EQ(p.result_text(), "1/2-1/2 {Draw by threefold repetition}");
}

}  // namespace
