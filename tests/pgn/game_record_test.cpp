// The game record: reading whole game texts, tags, the start position, stepping.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "notation/san_move.h"
#include "pgn/game.h"

namespace {

constexpr const char* initial_fen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

using Nodes = std::vector<std::pair<NodeKind, std::string>>;

Nodes nodes_of(const Game& game, std::size_t line) {
    Nodes nodes;
    for (const GameNode& node : game.lines()[line]) nodes.emplace_back(node.kind, node.text);
    return nodes;
}

// The move that `san` names in the game's current position.
Move move_of(Game& game, std::string_view san) { return SanMove(game.get_position(), san).move(); }

std::vector<std::string> order_of(const Game& game) {
    return std::vector<std::string>(game.tag_order().begin(), game.tag_order().end());
}

}  // namespace

TEST(PgnReader, BadFenIsReportedAndTheMovetextStaysUnread) {
    Game game;
    const std::string text =
        "[Event \"A\"]\n[FEN \"8/8/X7/8/8/8/8/8 w - - 0 9\"]\n[Site \"S\"]\n\n1. e4 *\n";
    testing::internal::CaptureStderr();
    game.read_pgn(text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), text + "\n");
    EXPECT_EQ(order_of(game), (std::vector<std::string>{"Event", "FEN"}));
    EXPECT_EQ(game.start_move_number(), 9u);
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{NodeKind::unparsed, "1. e4 *\n"}}));
    EXPECT_EQ(game.get_next_position(), game.get_position().fen());
    EXPECT_EQ(game.get_next_position(), "");
}

TEST(GameRecord, SteppingForwardAndBack) {
    Game game;
    game.read_pgn("[Event \"A\"]\n\n1. e4 {best} e5 $1 2. Nf3 1-0\n");
    EXPECT_EQ(game.get_next_move(), move_of(game, "e4"));
    EXPECT_EQ(game.get_next_position(),
              "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    game.get_next_position();
    game.get_next_position();
    // Only the result is left: one step past it, then nothing.
    const std::string last = game.get_position().fen();
    EXPECT_EQ(game.get_next_position(), last);
    EXPECT_EQ(game.get_next_position(), "");
    EXPECT_EQ(game.get_next_move(), Move());

    EXPECT_EQ(game.get_previous_position(),
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    game.get_previous_position();
    EXPECT_EQ(game.get_previous_position(), initial_fen);
    EXPECT_EQ(game.get_previous_position(), "");
    EXPECT_EQ(game.get_first_position(), initial_fen);
    EXPECT_EQ(game.get_hash(), 0x463B96181691FC9Cu);
}
