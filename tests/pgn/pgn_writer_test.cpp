// Writing a game record as PGN text, and breaking it into lines.
#include <gtest/gtest.h>

#include <string>

#include "notation/san_move.h"
#include "pgn/game.h"
#include "pgn/pgn_layout.h"

namespace {

std::string wrapped(std::string text, std::size_t offset = 0) {
    wrap_pgn_lines(text, offset);
    return text;
}

std::string word(std::size_t length) {
    return std::string(length, 'x');
}

void add_moves(Game& game, std::initializer_list<std::string_view> moves) {
    for (std::string_view san : moves) game.add_move(SanMove(game.get_position(), san).move());
}

}  // namespace

TEST(PgnWriter, GamesAsTheToolBuildsThem) {
    Game game;
    EXPECT_EQ(game.get_pgn(), "\n *\n\n");
    EXPECT_EQ(game.get_full_pgn(), "\n *\n\n");

    const std::string roster_tags =
        "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"1\"]\n[White \"?\"]\n"
        "[Black \"?\"]\n[Result \"*\"]\n\n";
    for (const auto& [name, value] : {std::pair{"Event", "?"}, {"Site", "?"}, {"Date", "????.??.??"}, {"Round", "1"},
                                      {"White", "?"}, {"Black", "?"}, {"Result", "*"}})
        game.set_tag(name, value);
    add_moves(game, {"e4", "c5", "Nf3", "d6", "d4", "cxd4", "Nxd4", "Nf6", "Nc3", "a6", "Be3", "e5", "Nb3",
                     "Be6", "f3", "Be7", "Qd2", "O-O", "O-O-O", "Nbd7", "g4", "b5", "g5", "b4"});
    EXPECT_EQ(game.get_pgn(), roster_tags +
                                  "1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. Be3 e5 7. Nb3 Be6 8. "
                                  "f3\nBe7 9. Qd2 O-O 10. O-O-O Nbd7 11. g4 b5 12. g5 b4 *\n\n");

    game.clear();
    game.set_tag("FEN", "4k3/8/8/8/8/8/8/4K3 b - - 0 12");
    add_moves(game, {"Kd7", "Kd2"});
    EXPECT_EQ(game.get_pgn(), "[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 12\"]\n\n12... Kd7 13. Kd2 *\n\n");
}

TEST(PgnWriter, CommentsNagsAndVariations) {
    Game game;
    game.read_pgn(
        "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O {castles} $1 Be7 "
        "(5... Nxe4 6. d4 (6. Re1)) 6. Re1 *\n");
    EXPECT_EQ(game.get_pgn(),
              "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O $1 Be7 6. Re1  *\n\n");
    EXPECT_EQ(game.get_full_pgn(),
              "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O {castles} $1 "
              "Be7 (5... Nxe4 6.\nd4 (6. Re1)) 6. Re1  *\n\n");

    game.read_pgn("1. e4 {open} e5 *\n");
    EXPECT_EQ(game.get_full_pgn(), "\n1. e4 {open} 1... e5  *\n\n");
    EXPECT_EQ(game.get_pgn(), "\n1. e4 e5  *\n\n");
    // A tag line longer than a text line is not broken.
    game.read_pgn("[Event \"" + word(100) + " x\"]\n\n1. e4 *\n");
    EXPECT_EQ(game.get_pgn(), "[Event \"" + word(100) + " x\"]\n\n1. e4  *\n\n");
}

TEST(PgnWrapping, BreaksAtThe80thCharacterOrTheSpaceBeforeIt) {
    const std::string line79 = word(40) + " " + word(38);
    const std::string head = "[Event \"A\"]\n";
    const std::pair<std::string, std::string> rows[] = {
        {line79 + "\n", line79 + "\n"},
        {line79, line79},
        {line79 + " abc", line79 + "\nabc"},
        {word(50) + " " + word(50), word(50) + "\n" + word(50)},
        {word(79) + " " + word(10), word(79) + "\n" + word(10)},
        // A line without a space is broken after its word, never in an earlier line.
        {head + word(120) + " e4 e5\n", head + word(120) + "\ne4 e5\n"},
        {head + word(120) + "\n", head + word(120) + "\n"}};
    for (const auto& [text, expected] : rows) EXPECT_EQ(wrapped(text), expected) << text;

    std::string text;
    for (int i = 0; i < 100; ++i) text += "12. Nxe4 ";
    const std::string out = wrapped(text);
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 79u);
    EXPECT_LE(out.size() - start, 79u);

    const std::string tag = "[Event \"" + word(50) + " " + word(50) + "\"]\n";
    EXPECT_EQ(wrapped(tag + word(50) + " " + word(50) + "\n", tag.size()), tag + word(50) + "\n" + word(50) + "\n");
}
