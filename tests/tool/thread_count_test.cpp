// The first phase on several threads records in file order, also when later games are
// played faster than earlier ones.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pgn/game.h"
#include "support/temp_dir.h"
#include "thread_counts.h"

namespace vorline {

namespace {

std::string game_text(const std::vector<std::string>& moves) {
    std::string text = "[Event \"?\"]\n[Result \"*\"]\n\n";
    for (std::size_t i = 0; i < moves.size(); ++i)
        text += (i % 2 == 0 ? std::to_string(i / 2 + 1) + ". " : "") + moves[i] + ' ';
    return text + "*\n\n";
}

// Every pair of White's first pawn moves on two files reaches one position in either order
// (Black answers Nh6 in between). The games that play each pair the first way come first
// and are slow to play: 200 half moves of knights going back and forth follow, within the
// depth. The quick games that play the other way follow in later batches of the cutter, so
// on several threads they are played before the slow ones; only recording in file order
// keeps the first way in the index and so in the output.
TEST(ThreadCount, LaterGamesPlayedFirstAreRecordedInFileOrder) {
    std::vector<std::string> pawn_moves;
    for (char file = 'a'; file <= 'h'; ++file)
        for (char rank : {'3', '4'}) pawn_moves.push_back({file, rank});
    std::string slow, quick, epd;
    Game game;
    for (const std::string& a : pawn_moves) {
        for (const std::string& b : pawn_moves) {
            if (a[0] >= b[0]) continue;
            // A white knight's way out and back that no pawn of the pair blocks.
            const auto [out, back] = a[0] != 'c' && b[0] != 'c'   ? std::pair{"Nc3", "Nb1"}
                                     : a[0] != 'f' && b[0] != 'f' ? std::pair{"Nf3", "Ng1"}
                                                                  : std::pair{"Na3", "Nb1"};
            std::vector<std::string> moves{a, "Nh6", b};
            for (int i = 0; i < 50; ++i) moves.insert(moves.end(), {"Nc6", out, "Nb8", back});
            slow += game_text(moves);
            quick += game_text({b, "Nh6", a});
            game.read_pgn(game_text({a, "Nh6", b}));
            for (int i = 0; i < 3; ++i) game.step_forward();
            epd += game.get_position().fen() + '\n';
        }
    }
    TempDir dir;
    dir.write("games.pgn", slow + quick);
    dir.write("pos.epd", epd);
    const std::string output = expect_same_output_for_thread_counts(
        dir, {"-p", "games.pgn", "-e", "pos.epd", "-d", "300"}, "pos.pgn");
    EXPECT_NE(output.find("1. a3 Nh6 2. b3 *"), std::string::npos);
    EXPECT_EQ(output.find("1. b3 Nh6 2. a3 *"), std::string::npos);
    EXPECT_EQ(dir.read("failed.epd"), "");
}

}  // namespace

}  // namespace vorline
