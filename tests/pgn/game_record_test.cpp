// The game record: reading whole game texts, tags, cursor, stepping, adding moves and
// variations, comments.
#include <gtest/gtest.h>

#include <stdexcept>
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
Move move_of(Game& game, std::string_view san) {
    return SanMove(game.get_position(), san).move();
}

// {white to move, move number} of every node of the line.
std::vector<std::pair<unsigned, unsigned>> numbers(const GameLine& line) {
    std::vector<std::pair<unsigned, unsigned>> result;
    for (const GameNode& node : line) result.emplace_back(node.white, node.move_number);
    return result;
}

void add_moves(Game& game, std::initializer_list<std::string_view> moves) {
    for (std::string_view san : moves) game.add_move(move_of(game, san));
}

std::vector<std::string> order_of(const Game& game) {
    return std::vector<std::string>(game.tag_order().begin(), game.tag_order().end());
}

constexpr NodeKind M = NodeKind::move;
constexpr NodeKind C = NodeKind::comment;
constexpr NodeKind N = NodeKind::nag;
constexpr NodeKind V = NodeKind::variation;
constexpr NodeKind R = NodeKind::result;

}  // namespace

TEST(PgnReader, TagsMovesAndNumbers) {
    Game game;
    game.read_pgn("[Event \"A\"] [Event \"B\"]\n%comment line\n[Result \"0-1\"]\n\n1. e4 e5 2. Nf3 0-1\n");
    EXPECT_EQ(order_of(game), (std::vector<std::string>{"Event", "Event", "Result"}));
    EXPECT_EQ(game.get_tag("Event"), "B");
    EXPECT_EQ(game.get_result(), "0-1");
    EXPECT_EQ(game.tag_text(), "[Event \"A\"] [Event \"B\"]\n[Result \"0-1\"]\n");
    EXPECT_EQ(numbers(game.lines()[0]), (std::vector<std::pair<unsigned, unsigned>>{{1, 1}, {0, 1}, {1, 2}, {0, 0}}));
    // Reading the game's own tag text gives the same tags.
    const std::string tags = game.tag_text();
    game.read_pgn(tags);
    EXPECT_EQ(game.tag_text(), tags);
}

TEST(PgnReader, BadFenIsReportedAndTheMovetextStaysUnread) {
    Game game;
    const std::string text = "[Event \"A\"]\n[FEN \"8/8/X7/8/8/8/8/8 w - - 0 9\"]\n[Site \"S\"]\n\n1. e4 *\n";
    testing::internal::CaptureStderr();
    game.read_pgn(text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), text + "\n");
    EXPECT_EQ(order_of(game), (std::vector<std::string>{"Event", "FEN"}));
    EXPECT_EQ(game.start_move_number(), 9u);
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{NodeKind::unparsed, "1. e4 *\n"}}));
    EXPECT_EQ(game.get_next_position(), game.get_position().fen());
    EXPECT_EQ(game.get_next_position(), "");
}

TEST(GameRecord, TagsAreSetOnceInOrderAndOnlyOnTheMainLine) {
    Game game;
    game.set_tag("Event", "A");
    game.set_tag("Site", "S");
    game.set_tag("Event", "B");
    EXPECT_EQ(order_of(game), (std::vector<std::string>{"Event", "Site"}));
    EXPECT_EQ(game.get_tag("Event"), "B");
    game.set_tag("White", "Tal");
    EXPECT_EQ(game.get_players(), "Tal ");
    game.set_tag("Result", "1-0");
    EXPECT_EQ(game.get_result(), "*");

    add_moves(game, {"e4"});
    game.get_first_position();
    add_moves(game, {"d4"});  // opens line 1
    ASSERT_EQ(game.cursor_line(), 1u);
    game.set_tag("Black", "Petrosian");
    EXPECT_EQ(game.get_tag("Black"), "");
}

TEST(GameRecord, FenTagSetsTheStartAndNumbering) {
    Game game;
    game.set_tag("FEN", "4k3/8/8/8/8/8/8/4K2R b K - 0 12");
    EXPECT_EQ(game.start_white_to_move(), 0u);
    EXPECT_EQ(game.start_move_number(), 12u);
    EXPECT_EQ(game.get_position().fen(), "4k3/8/8/8/8/8/8/4K2R b K - 0 12");
    add_moves(game, {"Kd7", "O-O"});
    game.number_moves(0, game.start_white_to_move(), game.start_move_number());
    EXPECT_EQ(numbers(game.lines()[0]), (std::vector<std::pair<unsigned, unsigned>>{{0, 12}, {1, 13}}));

    EXPECT_THROW(game.set_tag("FEN", "4k3/8/8/X/8/8/8/4K3 w - - 0 1"), std::logic_error);
}

TEST(GameRecord, SteppingForwardAndBack) {
    Game game;
    game.read_pgn("[Event \"A\"]\n\n1. e4 {best} e5 $1 2. Nf3 1-0\n");
    EXPECT_EQ(game.get_next_move(), move_of(game, "e4"));
    EXPECT_EQ(game.cursor_text(), "{0,0}");
    EXPECT_TRUE(game.is_first_move());
    EXPECT_EQ(game.get_next_position(),
              "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_FALSE(game.is_first_move());
    EXPECT_EQ(game.get_comment(), "best");
    game.get_next_position();
    game.get_next_position();
    // Only the result is left: one step past it, then nothing.
    const std::string last = game.get_position().fen();
    EXPECT_EQ(game.get_next_position(), last);
    EXPECT_EQ(game.cursor_text(), "{0,6}");
    EXPECT_EQ(game.get_next_position(), "");
    EXPECT_EQ(game.get_next_move(), Move());

    EXPECT_EQ(game.get_previous_position(),
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
    game.get_previous_position();
    EXPECT_EQ(game.get_previous_position(), initial_fen);
    EXPECT_EQ(game.get_previous_position(), "");
    EXPECT_EQ(game.get_last_position(), last);
    EXPECT_EQ(game.cursor_text(), "{0,6}");
    EXPECT_EQ(game.get_first_position(), initial_fen);
    EXPECT_EQ(game.get_hash(), 0x463B96181691FC9Cu);
}

TEST(GameRecord, AddMoveFollowsOrOpensVariations) {
    Game game;
    add_moves(game, {"e4"});
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{M, "e4"}}));
    EXPECT_EQ(game.cursor_text(), "{0,1}");

    game.get_first_position();
    add_moves(game, {"e4"});  // already there: followed
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{M, "e4"}}));
    EXPECT_EQ(game.cursor_text(), "{0,1}");

    game.get_first_position();
    add_moves(game, {"d4"});
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{M, "e4"}, {V, "(1)"}}));
    EXPECT_EQ(nodes_of(game, 1), (Nodes{{M, "d4"}}));
    EXPECT_EQ(game.cursor_text(), "{1,1}");
    add_moves(game, {"d5"});
    EXPECT_EQ(nodes_of(game, 1), (Nodes{{M, "d4"}, {M, "d5"}}));

    game.get_first_position();
    add_moves(game, {"d4"});  // follows line 1
    EXPECT_EQ(game.lines().size(), 2u);
    EXPECT_EQ(game.cursor_text(), "{1,1}");
    EXPECT_EQ(game.get_position().fen(),
              "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq - 0 1");

    // Back out of the variation: the cursor returns to the move it is an alternative to.
    EXPECT_EQ(game.get_previous_position(), initial_fen);
    EXPECT_EQ(game.cursor_text(), "{0,0}");
}

TEST(GameRecord, MoveTextsInAnotherFormDoNotMatch) {
    Game game;
    game.read_pgn("1. Ng1f3 *\n");
    EXPECT_FALSE(game.find_move(move_of(game, "Nf3")));
    game.add_move(move_of(game, "Nf3"));
    EXPECT_EQ(nodes_of(game, 0), (Nodes{{M, "Ng1f3"}, {V, "(1)"}, {R, "*"}}));
    EXPECT_EQ(nodes_of(game, 1), (Nodes{{M, "Nf3"}}));
}

TEST(GameRecord, FindMoveLooksAtAlternativesOfTheNextMoveOnly) {
    Game game;
    game.read_pgn("1. e4 (1. d4) (1. c4 {x}) e5 (1... c5) *\n");
    EXPECT_TRUE(game.find_move(move_of(game, "c4")));
    EXPECT_EQ(game.cursor_text(), "{2,0}");
    game.get_first_position();
    EXPECT_FALSE(game.find_move(move_of(game, "Nf3")));
    EXPECT_EQ(game.cursor_text(), "{0,0}");
    game.get_next_position();
    EXPECT_TRUE(game.find_move(move_of(game, "c5")));
    EXPECT_EQ(game.cursor_text(), "{3,0}");
}

TEST(GameRecord, Comments) {
    Game game;
    game.read_pgn("1. e4 $1 {good} e5\n");
    game.get_next_position();
    EXPECT_EQ(game.get_comment(), "good");
    // The slot right behind the move holds no comment: a new one goes there.
    game.set_comment("better");
    EXPECT_EQ(nodes_of(game, 0),
              (Nodes{{M, "e4"}, {C, "better"}, {N, "$1"}, {C, "good"}, {M, "e5"}}));
    game.set_comment("best");
    EXPECT_EQ(nodes_of(game, 0)[1].second, "best");
    EXPECT_EQ(game.lines()[0].size(), 5u);
    game.get_next_position();
    game.set_comment("");
    game.set_comment("end");
    EXPECT_EQ(nodes_of(game, 0).back(), (std::pair<NodeKind, std::string>{C, "end"}));
    EXPECT_EQ(game.get_comment(), "end");

    Game fresh;
    fresh.read_pgn("1. e4 e5\n");
    fresh.set_comment("before");
    EXPECT_EQ(nodes_of(fresh, 0), (Nodes{{C, "before"}, {M, "e4"}, {M, "e5"}}));
    EXPECT_EQ(fresh.cursor_text(), "{0,1}");
    EXPECT_TRUE(fresh.is_first_move());
}

TEST(GameRecord, VariationReferencesThatNameNoLaterLineAreNotFollowed) {
    Game game;
    // The stray ")" leaves "(1. d4)" in the main line as a reference that names no line.
    game.read_pgn("1. e4 ) (1. d4) e5 *\n");
    ASSERT_EQ(game.lines().size(), 1u);
    game.number_moves(0, 1, 1);
    EXPECT_EQ(game.lines()[0][2].white, 0u);
    // Behind a variation node Black's move gets its number, even when nothing was written.
    EXPECT_EQ(game.get_full_pgn(), "\n1. e4 1... e5  *\n\n");

    game.clear();
    add_moves(game, {"e4"});
    game.get_first_position();
    add_moves(game, {"d4"});
    game.number_moves(1, 1, 1);  // a variation line numbered on its own
    EXPECT_EQ(game.lines()[1][0].move_number, 1u);
}
