// Cutting a game to its opening.
#include <gtest/gtest.h>

#include <string>

#include "fuzz/pgn_game_check.h"
#include "pgn/game.h"

namespace {

const char* const long_game =
    "[Event \"E\"]\n[Site \"S\"]\n[Date \"2000.01.01\"]\n[Round \"3\"]\n[White \"W\"]\n"
    "[Black \"B\"]\n[Result \"1-0\"]\n[ECO \"C65\"]\n[WhiteElo \"2700\"]\n\n"
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 {Spanish} Nf6 (3... a6 4. Ba4 (4. Bxc6)) 4. O-O Nxe4 $5 "
    "5. d4 Nd6 6. Bxc6 dxc6 7. dxe5 Nf5 8. Qxd8+ Kxd8 9. Nc3 Ke8 10. h3 h5 11. Bf4 Be7 "
    "12. Rad1 Be6 13. Ng5 Rh6 14. g3 Bxg5 15. Bxg5 Rg6 1-0\n";

}  // namespace

TEST(GameTrimming, ReadingTheOpeningAloneGivesTheSameRecord) {
    const std::string texts[] = {
        long_game,
        "[Event \"A\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 12\"]\n\n12... Kd7 13. Kd2 *\n",
        "1. e4 ) (1. d4) e5 {x\n(y} 2. Nf3 ; z (\n Nc6 *\n",
        "[A \"1\"]\n[B \"2\"]\n[C \"3\"]\n[D \"4\"]\n[E \"5\"]\n[F \"6\"]\n[G \"7\"]\n[H \"8\"]\n",
        "",
    };
    Game full;
    Game opening;
    for (const std::string& text : texts) {
        for (std::uint32_t depth : {0u, 1u, 3u, 24u, 0xFFFFFFFFu}) {
            full.read_pgn(text);
            full.keep_opening(depth);
            opening.read_opening(text, depth);
            EXPECT_EQ(pgn_game_check::fingerprint(full), pgn_game_check::fingerprint(opening))
                << text << " depth " << depth;
        }
    }
    // A bad FEN tag: reported once by each, the same record afterwards.
    const std::string bad = "[Event \"A\"]\n[FEN \"X/8 w - - 0 1\"]\n\n1. e4 *\n";
    testing::internal::CaptureStderr();
    full.read_pgn(bad);
    full.keep_opening(24);
    opening.read_opening(bad, 24);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), bad + "\n" + bad + "\n");
    EXPECT_EQ(pgn_game_check::fingerprint(full), pgn_game_check::fingerprint(opening));
}
