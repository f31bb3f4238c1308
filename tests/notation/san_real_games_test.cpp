// Real games: the SAN we write for every move equals the SAN printed by the programs that
// wrote the games (apart from their known slips), and the legal moves along the way
// survive a round trip.
#include <gtest/gtest.h>

#include <string>

#include "notation_support.h"

namespace {

std::string listed(const ReplayReport& report) {
    std::string text;
    for (std::size_t i = 0; i < report.differences.size() && i < 10; ++i)
        text += report.differences[i].describe() + "\n";
    for (std::size_t i = 0; i < report.failures.size() && i < 10; ++i) text += report.failures[i] + "\n";
    for (std::size_t i = 0; i < report.round_trip_faults.size() && i < 10; ++i)
        text += report.round_trip_faults[i] + "\n";
    return text;
}

class SanRealGames : public testing::Test {
protected:
    void SetUp() override {
        if (reference_file("games/samples").empty()) GTEST_SKIP() << "reference data absent";
    }
    static ReplayReport replay(const std::string& name) {
        return replay_games(read_whole_file(reference_file("games/samples/" + name)), 10);
    }
};

TEST_F(SanRealGames, ProgramWrittenGamesMatchMoveForMove) {
    for (const char* name : {"kasparov-deep-blue-1997.pgn", "nepomniachtchi-liren-game1.pgn",
                             "molinari-bordais-1979.pgn", "stockfish-learning.pgn",
                             "chessbase-empty-line.pgn", "benoni.pgn"}) {
        const ReplayReport report = replay(name);
        EXPECT_GT(report.moves, 0u) << name;
        EXPECT_TRUE(report.differences.empty() && report.failures.empty() && report.round_trip_faults.empty())
            << name << ":\n" << listed(report);
    }
}

// Two large player collections print "+" instead of "#" on mating moves (an outside
// chess library confirms each of those moves mates); every other move matches.
TEST_F(SanRealGames, CollectionsDifferOnlyInMateMarks) {
    const ReplayReport miles = replay("Miles.pgn");
    EXPECT_EQ(miles.games, 2614u);
    EXPECT_EQ(miles.moves, 210011u);
    EXPECT_EQ(count_kinds(miles.differences), "mate printed as check: 15\n") << listed(miles);
    EXPECT_TRUE(miles.failures.empty() && miles.round_trip_faults.empty()) << listed(miles);

    const ReplayReport gelfand = replay("Gelfand.pgn");
    EXPECT_EQ(gelfand.games, 3518u);
    EXPECT_TRUE(gelfand.round_trip_faults.empty()) << listed(gelfand);
    for (const SanDifference& d : gelfand.differences) EXPECT_EQ(d.kind(), "mate printed as check") << d.describe();
    // The game Gelfand-Gareev holds an illegal 31.Qxe1; it stops there and nowhere else.
    ASSERT_EQ(gelfand.failures.size(), 1u) << listed(gelfand);
    EXPECT_NE(gelfand.failures[0].find(": SanMove operator=(string): illegal move \"Qxe1\"\nfen()="),
              std::string::npos)
        << gelfand.failures[0];
}

// An early engine-match file leaves out the "+" of 167 checks (an outside chess library
// agrees that each of them checks). The check bit comes from the position, so the games
// replay to their end with the right check state.
TEST_F(SanRealGames, MissingCheckMarksDoNotStopAGame) {
    const ReplayReport report = replay("TCEC_Match_4.pgn");
    EXPECT_EQ(report.games, 32u);
    EXPECT_EQ(report.moves, 4317u);  // every move of every game
    EXPECT_EQ(count_kinds(report.differences), "check mark missing: 167\n") << listed(report);
    EXPECT_TRUE(report.failures.empty() && report.round_trip_faults.empty()) << listed(report);
}

TEST_F(SanRealGames, NullMoveAndCoordinateMovesStopTheGame) {
    // "Z0" (a null move) names no legal move.
    const ReplayReport null_move = replay("anastasian-lewis.pgn");
    ASSERT_EQ(null_move.failures.size(), 1u);
    EXPECT_NE(null_move.failures[0].find("ply 82: SanMove operator=(string): illegal move \"Z0\""),
              std::string::npos)
        << null_move.failures[0];
    EXPECT_TRUE(null_move.differences.empty()) << listed(null_move);
    // Coordinate forms are read for pawns only: "g1f3" names a pawn, so it is illegal.
    const ReplayReport coordinates = replay("uci-moves.pgn");
    ASSERT_EQ(coordinates.failures.size(), 1u);
    EXPECT_NE(coordinates.failures[0].find("illegal move \"g1f3\""), std::string::npos);
}

}  // namespace
