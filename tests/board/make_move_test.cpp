// Making and taking back moves: rights, clocks, en passant, keys and the repetition list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "board/move_list.h"
#include "support/positions.h"

namespace {

void play(ChessPosition& position, std::initializer_list<const char*> moves) {
    for (const char* move : moves) position.make_move(position.convert_to_move(move));
}

struct Snapshot {
    std::string fen;
    std::uint64_t key;
    std::vector<HistoryEntry> history;
    std::vector<std::uint64_t> repetitions;
    std::size_t hash_stack;
    std::array<Bitboard, 15> bitboards;

    explicit Snapshot(const ChessPosition& p)
        : fen(p.fen()),
          key(p.hash()),
          history(p.history()),
          repetitions(p.repetition_list()),
          hash_stack(p.hash_keys().size()) {
        for (std::uint32_t code = 0; code < 15; ++code) bitboards[code] = p.bitboard(code);
    }
    bool operator==(const Snapshot&) const = default;
};

// Two plies deep: the move's check bit, the incremental key, pins and bitboards equal those
// of the same position read from its FEN text, and taking the move back restores everything.
void check_every_move(ChessPosition& position, int depth) {
    const Snapshot before(position);
    MoveList list;
    position.generate_legal_moves(list);
    for (Move move : list) {
        SCOPED_TRACE(before.fen + " " + move.coordinate_text());
        position.make_move(move);
        const ChessPosition fresh = position_from(position.fen());
        ASSERT_EQ(move.check(), fresh.in_check());
        ASSERT_EQ(position.in_check(), fresh.in_check());
        ASSERT_EQ(position.hash(), fresh.hash());
        ASSERT_EQ(position.pinned_pieces(), fresh.pinned_pieces());
        ASSERT_EQ(position.discovering_pieces(), fresh.discovering_pieces());
        for (std::uint32_t code = 0; code < 15; ++code)
            ASSERT_EQ(position.bitboard(code), fresh.bitboard(code));
        if (depth > 1) check_every_move(position, depth - 1);
        position.unmake_move();
        ASSERT_TRUE(Snapshot(position) == before);
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

TEST(MakeMove, ClocksRightsEnPassantAndNullMove) {
    ChessPosition p(test_tables());
    p.set_start_position();
    play(p, {"e2e4", "g8f6"});
    EXPECT_EQ(p.half_move_clock(), 1u);
    EXPECT_EQ(p.full_move_number(), 2u);
    // Only a neighbour on the same rank makes an en passant square.
    p.fen("4k3/8/8/8/8/7p/P7/4K3 w - - 0 1");
    play(p, {"a2a4"});
    EXPECT_EQ(p.en_passant_square(), no_square);
    p.fen("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    play(p, {"e5d6"});
    EXPECT_TRUE(p.piece_on(squares::d5).is_empty());

    p.fen("r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq - 3 1");
    play(p, {"e1h1"});
    EXPECT_EQ(p.piece_on(squares::g1).code(), Piece::white_king);
    EXPECT_EQ(p.piece_on(squares::f1).code(), Piece::white_rook);
    EXPECT_EQ(p.castling_rights(), 0x8100u);
    EXPECT_EQ(p.half_move_clock(), 4u);
    p.unmake_move();
    play(p, {"h1h8"});
    EXPECT_EQ(p.castling_rights(), 0x0101u);
    p.unmake_move();
    play(p, {"b7a8q"});  // taking the rook takes its right
    EXPECT_EQ(p.castling_rights(), 0x8081u);
    p.unmake_move();
    p.make_move(Move(0, 0, Move::nullmove, 0, 0));  // passes the turn, keeps every right
    EXPECT_EQ(p.castling_rights(), 0x8181u);
    EXPECT_TRUE(p.black_to_move());
    p.unmake_move();
    EXPECT_THROW(p.unmake_move(), BoardError);
}

}  // namespace
