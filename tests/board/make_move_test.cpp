// Making and taking back moves: rights, clocks, en passant, keys and the repetition list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "board/move_list.h"
#include "support/reference_data.h"

namespace vorline {

namespace {

// Two plies deep: the position after each move (pieces, rights, clocks, en passant square,
// pins), its key and the move's check bit equal those of the same position read from its
// FEN text, and taking the move back restores everything, its history too.
void check_every_move(ChessPosition& position, int depth) {
    const ChessPosition before = position;
    MoveList list;
    position.generate_legal_moves(list);
    for (Move move : list) {
        SCOPED_TRACE(before.fen() + " " + move.coordinate_text());
        position.make_move(move);
        const ChessPosition fresh = position_from(position.fen());
        ASSERT_TRUE(position == fresh && position.hash() == fresh.hash());
        ASSERT_EQ(move.check(), fresh.in_check());
        ASSERT_EQ(position.in_check(), fresh.in_check());
        if (depth > 1) check_every_move(position, depth - 1);
        position.unmake_move();
        ASSERT_TRUE(position == before && position.hash() == before.hash() &&
                    position.history() == before.history() &&
                    position.repetition_list() == before.repetition_list() &&
                    position.hash_keys().size() == before.hash_keys().size());
    }
}

TEST(MakeMove, EveryMoveOfThePerftPositionsIsUndoneExactly) {
    for (const std::string& fen : with_perft_positions(
             {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
              "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", "8/4P1k1/8/8/8/8/8/4K3 w - - 0 1",
              "7k/8/8/8/8/2P5/8/B3K3 w - - 0 1", "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
              "8/8/8/8/3Pp3/8/4K3/7k b - d3 0 1"})) {
        ChessPosition position = position_from(fen);
        check_every_move(position, 2);
        if (HasFatalFailure()) return;
    }
}

// Rights, clocks, en passant square and pieces after one move; "null" passes the turn.
// Taking back more than was made is an error.
TEST(MakeMove, OneMoveFromAFenText) {
    const std::string rooks = "r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq - 3 1";
    const std::tuple<std::string, std::string, const char*> rows[] = {
        // h3 stands beside a4 only in the bit order: it makes no en passant square.
        {"4k3/8/8/8/8/7p/P7/4K3 w - - 0 1", "a2a4", "4k3/8/8/8/P7/7p/8/4K3 b - - 0 1"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "4k3/8/3P4/8/8/8/8/4K3 b - - 0 1"},
        {rooks, "e1h1", "r3k2r/1P6/8/8/8/8/8/R4RK1 b kq - 4 1"},
        {rooks, "h1h8", "r3k2R/1P6/8/8/8/8/8/R3K3 b Qq - 0 1"},
        {rooks, "b7a8q", "Q3k2r/8/8/8/8/8/8/R3K2R b KQk - 0 1"},  // taking the rook takes its right
        {rooks, "null", "r3k2r/1P6/8/8/8/8/8/R3K2R b KQkq - 4 1"}};
    for (const auto& [fen, move, after] : rows) {
        ChessPosition p = position_from(fen);
        p.make_move(move == "null" ? Move(0, 0, Move::nullmove, 0, 0) : p.convert_to_move(move));
        EXPECT_EQ(p.fen(), after) << move;
        p.unmake_move();
        EXPECT_THROW(p.unmake_move(), BoardError) << move;
    }
}

}  // namespace

}  // namespace vorline
