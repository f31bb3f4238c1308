// Shared helpers of the notation tests: SAN written and read back, on single positions,
// move trees and whole PGN texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "checks/mainline_games.h"
#include "support/reference_data.h"

namespace vorline {

// The first `count` lines, one per line, for failure messages.
std::string first_lines(const std::vector<std::string>& lines, std::size_t count = 10);

// Writes every legal move and reads it back: one line per move that reads back as another,
// whose mark differs from its check bit, or whose "#" is not exactly on a mate.
std::vector<std::string> round_trip_faults(ChessPosition& position);

// A move whose printed SAN differs from the SAN we write for it.
struct SanDifference {
    std::size_t line = 0, ply = 0;
    std::string printed, written, fen;
};

struct ReplayReport {
    std::size_t games = 0, moves = 0, round_trips = 0;
    std::vector<SanDifference> differences;
    std::vector<std::string> failures;  // tokens that did not resolve (the game stops there)
    std::vector<std::string> faults;    // round-trip faults, the first 50
    std::string listed() const;         // the first few of each, for failure messages
};

// Replays every standard-chess game: each token read, the move written and compared with
// the token, then made. Every `round_trip_every`-th position has all its moves round
// tripped (0: none).
ReplayReport replay_games(std::string_view pgn_text, std::size_t round_trip_every);

}  // namespace vorline
