// Writing a game record as PGN text.
#include <gtest/gtest.h>

#include <string>

#include "notation/san_move.h"
#include "pgn/game.h"

namespace {

const std::string roster_tags =
    "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"1\"]\n[White \"?\"]\n"
    "[Black \"?\"]\n[Result \"*\"]\n\n";

// A game as the tool builds it: the seven tags, then the moves added one by one.
void build_tool_game(Game& game, std::initializer_list<std::string_view> moves) {
    game.clear();
    game.set_tag("Event", "?");
    game.set_tag("Site", "?");
    game.set_tag("Date", "????.??.??");
    game.set_tag("Round", "1");
    game.set_tag("White", "?");
    game.set_tag("Black", "?");
    game.set_tag("Result", "*");
    for (std::string_view san : moves) game.add_move(SanMove(game.get_position(), san).move());
}

}  // namespace

TEST(PgnWriter, EmptyGame) {
    Game game;
    EXPECT_EQ(game.get_pgn(), "\n *\n\n");
    EXPECT_EQ(game.get_full_pgn(), "\n *\n\n");
}

TEST(PgnWriter, ToolGames) {
    Game game;
    build_tool_game(game, {"e4", "e5", "Nf3"});
    EXPECT_EQ(game.get_pgn(), roster_tags + "1. e4 e5 2. Nf3 *\n\n");

    build_tool_game(game, {"e4", "c5", "Nf3", "d6", "d4", "cxd4", "Nxd4", "Nf6", "Nc3", "a6",
                           "Be3", "e5", "Nb3", "Be6", "f3", "Be7", "Qd2", "O-O", "O-O-O",
                           "Nbd7", "g4", "b5", "g5", "b4"});
    EXPECT_EQ(game.get_pgn(),
              roster_tags +
                  "1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. Be3 e5 7. Nb3 Be6 8. "
                  "f3\nBe7 9. Qd2 O-O 10. O-O-O Nbd7 11. g4 b5 12. g5 b4 *\n\n");
}

TEST(PgnWriter, GameStartingWithBlackToMove) {
    Game game;
    game.set_tag("FEN", "4k3/8/8/8/8/8/8/4K3 b - - 0 12");
    game.add_move(SanMove(game.get_position(), "Kd7").move());
    game.add_move(SanMove(game.get_position(), "Kd2").move());
    EXPECT_EQ(game.get_pgn(), "[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 12\"]\n\n12... Kd7 13. Kd2 *\n\n");
}

TEST(PgnWriter, CommentsNagsAndVariations) {
    Game game;
    game.read_pgn(
        "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O {castles} $1 Be7 "
        "(5... Nxe4 6. d4 (6. Re1)) 6. Re1 *\n");
    EXPECT_EQ(game.get_pgn(),
              "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O $1 Be7 6. Re1  "
              "*\n\n");
    EXPECT_EQ(game.get_full_pgn(),
              "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O {castles} $1 "
              "Be7 (5... Nxe4 6.\nd4 (6. Re1)) 6. Re1  *\n\n");

    game.read_pgn("1. e4 {open} e5 *\n");
    EXPECT_EQ(game.get_full_pgn(), "\n1. e4 {open} 1... e5  *\n\n");
    EXPECT_EQ(game.get_pgn(), "\n1. e4 e5  *\n\n");
}

TEST(PgnWriter, TagsWithoutValuesAndLongTagLines) {
    Game game;
    const std::string long_value(100, 'v');
    game.read_pgn("[Event \"" + long_value + " x\"]\n\n1. e4 *\n");
    EXPECT_EQ(game.get_pgn(), "[Event \"" + long_value + " x\"]\n\n1. e4  *\n\n");
}
