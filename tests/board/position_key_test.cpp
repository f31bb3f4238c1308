// Position keys against the Polyglot book format's published test vectors.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "board/polyglot_keys.h"
#include "board_fixtures.h"

namespace {

struct KeyVector {
    const char* move;  // made on the previous position
    const char* fen;   // the position reached
    std::uint64_t key;
};

void expect_vectors(std::initializer_list<KeyVector> vectors) {
    ChessPosition played(test_tables());
    played.set_start_position();
    EXPECT_EQ(played.hash(), 0x463B96181691FC9CULL);
    for (const KeyVector& v : vectors) {
        played.make_move(played.convert_to_move(v.move));
        EXPECT_EQ(played.hash(), v.key) << "after " << v.move;
        EXPECT_EQ(played.fen(), v.fen);
        EXPECT_EQ(position_from(v.fen).hash(), v.key) << v.fen;
    }
}

TEST(PositionKey, PolyglotVectorsKingWalk) {
    expect_vectors({
        {"e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", 0x823C9B50FD114196ULL},
        {"d7d5", "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", 0x0756B94461C50FB0ULL},
        {"e4e5", "rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2", 0x662FAFB965DB29D4ULL},
        {"f7f5", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", 0x22A48B5A8E47FF78ULL},
        {"e1e2", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR b kq - 1 3", 0x652A607CA3F242C1ULL},
        {"e8f7", "rnbq1bnr/ppp1pkpp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR w - - 2 4", 0x00FDD303C946BDD9ULL},
    });
}


TEST(PositionKey, PolyglotVectorsWingPawns) {
    ChessPosition played(test_tables());
    played.set_start_position();
    for (const char* move : {"a2a4", "b7b5", "h2h4", "b5b4", "c2c4"}) played.make_move(played.convert_to_move(move));
    EXPECT_EQ(played.hash(), 0x3C8123EA7B067637ULL);
    EXPECT_EQ(played.fen(), "rnbqkbnr/p1pppppp/8/8/PpP4P/8/1P1PPPP1/RNBQKBNR b KQkq c3 0 3");
    for (const char* move : {"b4c3", "a1a3"}) played.make_move(played.convert_to_move(move));
    EXPECT_EQ(played.hash(), 0x5C3F9B829B279560ULL);
    EXPECT_EQ(position_from("rnbqkbnr/p1pppppp/8/8/PpP4P/8/1P1PPPP1/RNBQKBNR b KQkq c3 0 3").hash(),
              0x3C8123EA7B067637ULL);
    EXPECT_EQ(position_from("rnbqkbnr/p1pppppp/8/8/P6P/R1p5/1P1PPPP1/1NBQKBNR b Kkq - 0 4").hash(),
              0x5C3F9B829B279560ULL);
}

TEST(PositionKey, WrittenEnPassantSquareCountsAndClocksDoNot) {
    const std::uint64_t after_e4 = 0x823C9B50FD114196ULL;
    EXPECT_EQ(position_from("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1").hash(),
              after_e4 ^ polyglot_random64[776]);
    EXPECT_EQ(position_from("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1").hash(), after_e4);
    EXPECT_EQ(position_from("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 17 40").hash(), after_e4);
}

TEST(PositionKey, EmptyBoardAndCastlingFields) {
    ChessPosition empty(test_tables());
    EXPECT_EQ(empty.hash(), 0xF8D626AAAF278509ULL);
    const std::string placement = "r3k2r/8/8/8/8/8/8/R3K2R w ";
    EXPECT_EQ(position_from(placement + "AHah - 0 1").hash(), position_from(placement + "KQkq - 0 1").hash());
    EXPECT_EQ(position_from(placement + "E - 0 1").hash(), position_from(placement + "- - 0 1").hash() ^ 0x10);
}

}  // namespace
