// Reading whole game texts into a game record.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pgn/game.h"

namespace {

using Nodes = std::vector<std::pair<NodeKind, std::string>>;

Nodes nodes_of(const Game& game, std::size_t line) {
    Nodes nodes;
    for (const GameNode& node : game.lines()[line]) nodes.emplace_back(node.kind, node.text);
    return nodes;
}

std::vector<std::string> order_of(const Game& game) {
    return std::vector<std::string>(game.tag_order().begin(), game.tag_order().end());
}

constexpr NodeKind M = NodeKind::move;
constexpr NodeKind R = NodeKind::result;

}  // namespace

TEST(PgnReader, TagsMovesAndNumbers) {
    Game game;
    game.read_pgn("[Event \"A\"] [Event \"B\"]\n%comment line\n[Result \"0-1\"]\n\n1. e4 e5 2. Nf3 0-1\n");
    EXPECT_EQ(order_of(game), (std::vector<std::string>{"Event", "Event", "Result"}));
    EXPECT_EQ(game.get_tag("Event"), "B");
    EXPECT_EQ(game.get_result(), "0-1");
    EXPECT_EQ(game.tag_text(), "[Event \"A\"] [Event \"B\"]\n[Result \"0-1\"]\n");
    const GameLine& line = game.lines()[0];
    EXPECT_EQ(std::make_pair(line[0].white, line[0].move_number), std::make_pair(1u, 1u));
    EXPECT_EQ(std::make_pair(line[1].white, line[1].move_number), std::make_pair(0u, 1u));
    EXPECT_EQ(std::make_pair(line[2].white, line[2].move_number), std::make_pair(1u, 2u));
    // Reading the game's own tag text gives the same tags.
    const std::string tags = game.tag_text();
    game.read_pgn(tags);
    EXPECT_EQ(game.tag_text(), tags);
}

TEST(PgnReader, BadFenIsReportedAndTheMovetextStaysUnread) {
    Game game;
    const std::string text = "[Event \"A\"]\n[FEN \"8/8/X7/8/8/8/8/8 w - - 0 9\"]\n"
                             "[Site \"S\"]\n\n1. e4 *\n";
    testing::internal::CaptureStderr();
    game.read_pgn(text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), text + "\n");
    EXPECT_EQ(order_of(game), (std::vector<std::string>{"Event", "FEN"}));
    EXPECT_EQ(game.start_move_number(), 9u);
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{NodeKind::unparsed, "1. e4 *\n"}}));
    EXPECT_EQ(game.get_next_position(), game.get_position().fen());
    EXPECT_EQ(game.get_next_position(), "");
}
