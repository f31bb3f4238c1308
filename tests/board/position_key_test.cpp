// Position keys against the Polyglot book format's published test vectors.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "board/polyglot_keys.h"
#include "support/reference_data.h"

namespace vorline {

namespace {

// The published vectors: moves from the initial position, the position reached and its key.
// Each key must come out both incrementally, move by move, and from the FEN text.
TEST(PositionKey, PolyglotVectorsIncrementallyAndFromFen) {
    const std::tuple<const char*, const char*, std::uint64_t> vectors[] = {
        {"", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0x463B96181691FC9CULL},
        {"e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1",
         0x823C9B50FD114196ULL},
        {"e2e4 d7d5", "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2",
         0x0756B94461C50FB0ULL},
        {"e2e4 d7d5 e4e5", "rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2",
         0x662FAFB965DB29D4ULL},
        {"e2e4 d7d5 e4e5 f7f5", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
         0x22A48B5A8E47FF78ULL},
        {"e2e4 d7d5 e4e5 f7f5 e1e2", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR b kq - 1 3",
         0x652A607CA3F242C1ULL},
        {"e2e4 d7d5 e4e5 f7f5 e1e2 e8f7",
         "rnbq1bnr/ppp1pkpp/8/3pPp2/8/8/PPPPKPPP/RNBQ1BNR w - - 2 4", 0x00FDD303C946BDD9ULL},
        {"a2a4 b7b5 h2h4 b5b4 c2c4",
         "rnbqkbnr/p1pppppp/8/8/PpP4P/8/1P1PPPP1/RNBQKBNR b KQkq c3 0 3", 0x3C8123EA7B067637ULL},
        {"a2a4 b7b5 h2h4 b5b4 c2c4 b4c3 a1a3",
         "rnbqkbnr/p1pppppp/8/8/P6P/R1p5/1P1PPPP1/1NBQKBNR b Kkq - 1 4", 0x5C3F9B829B279560ULL}};
    for (const auto& [moves, fen, key] : vectors) {
        SCOPED_TRACE(moves);
        ChessPosition played(test_tables());
        played.set_start_position();
        std::istringstream in(moves);
        for (std::string move; in >> move;) played.make_move(played.convert_to_move(move));
        EXPECT_EQ(played.fen(), fen);
        EXPECT_EQ(played.hash(), key);
        EXPECT_EQ(position_from(fen).hash(), key);
    }
}

TEST(PositionKey, WrittenEnPassantSquareAndCastlingFieldsCountClocksDoNot) {
    const std::uint64_t after_e4 = 0x823C9B50FD114196ULL;
    EXPECT_EQ(position_from("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1").hash(),
              after_e4 ^ polyglot_random64[776]);
    EXPECT_EQ(position_from("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 17 40").hash(),
              after_e4);
    EXPECT_EQ(ChessPosition(test_tables()).hash(), 0xF8D626AAAF278509ULL);  // the empty board
    const std::string placement = "r3k2r/8/8/8/8/8/8/R3K2R w ";
    EXPECT_EQ(position_from(placement + "AHah - 0 1").hash(),
              position_from(placement + "KQkq - 0 1").hash());
    EXPECT_EQ(position_from(placement + "E - 0 1").hash(),
              position_from(placement + "- - 0 1").hash() ^ 0x10);
    // The lookup key drops a written en passant square that no pawn stands ready to use,
    // giving the key of the position reached by play; a usable one stays.
    EXPECT_EQ(
        position_from("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1").lookup_key(),
        after_e4);
    const char* f6 = "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3";
    EXPECT_EQ(position_from(f6).lookup_key(), 0x22A48B5A8E47FF78ULL);
}

}  // namespace

}  // namespace vorline
