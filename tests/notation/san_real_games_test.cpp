// Real games: the SAN we write for every move equals the SAN printed by the programs that
// wrote them, apart from slips an outside chess library confirms; along the way legal
// moves survive round trips.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "notation_support.h"

namespace {

struct Expected {
    std::size_t games = 0, moves = 0;  // 0: not checked
    std::string kinds;                 // count_kinds of the differences
    std::string failure;               // found in the one failure, if any
};

// Two player collections print "+" on some mates; an early engine-match file leaves out
// the "+" of 167 checks; Gelfand-Gareev holds an illegal 31.Qxe1; "Z0" (a null move) names
// no move; coordinate forms are read for pawns only, so "g1f3" is illegal.
const std::map<std::string, Expected> expected = {
    {"Miles.pgn", {2614, 210011, "mate printed as check: 15\n", ""}},
    {"Gelfand.pgn",
     {3518, 0, "mate printed as check: 21\n",
      ": SanMove operator=(string): illegal move \"Qxe1\"\nfen()="}},
    {"TCEC_Match_4.pgn", {32, 4317, "check mark missing: 167\n", ""}},
    {"anastasian-lewis.pgn", {0, 0, "", "ply 82: SanMove operator=(string): illegal move \"Z0\""}},
    {"uci-moves.pgn", {0, 0, "", "illegal move \"g1f3\""}},
};

TEST(SanRealGames, SampleFilesMatchPrintedSanApartFromKnownSlips) {
    const std::string dir = reference_file("games/samples");
    if (dir.empty()) GTEST_SKIP() << "reference data absent";
    std::size_t moves = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const ReplayReport report = replay_games(read_whole_file(entry.path().string()), 10);
        const auto found = expected.find(name);
        const Expected want = found == expected.end() ? Expected{} : found->second;
        EXPECT_TRUE(want.games == 0 || report.games == want.games) << report.games;
        EXPECT_TRUE(want.moves == 0 || report.moves == want.moves) << report.moves;
        EXPECT_EQ(count_kinds(report.differences), want.kinds) << report.listed();
        EXPECT_EQ(report.failures.size(), want.failure.empty() ? 0u : 1u) << report.listed();
        if (!want.failure.empty() && !report.failures.empty()) {
            EXPECT_NE(report.failures[0].find(want.failure), std::string::npos)
                << report.failures[0];
        }
        EXPECT_TRUE(report.faults.empty()) << report.listed();
        moves += report.moves;
    }
    EXPECT_GT(moves, 400000u);
}

}  // namespace
