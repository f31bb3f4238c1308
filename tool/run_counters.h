// RunCounters: what the two phases of a run have done so far, for the progress line and summary.
#pragma once

#include <cstdint>

namespace vorline {

// What became of one game text in the first phase.
enum class GameOutcome : std::uint8_t { played, skipped_for_fen, stopped_early };

struct RunCounters {
    // First phase, one count per game text cut from the PGN file.
    std::uint64_t games_read = 0;
    std::uint64_t games_skipped_for_fen = 0;  // texts holding "FEN", never indexed
    std::uint64_t games_stopped_early = 0;    // ended by an unreadable or illegal move
    // Second phase, one count per EPD line.
    std::uint64_t lines_found = 0;
    std::uint64_t lines_not_found = 0;

    std::uint64_t lines_answered() const { return lines_found + lines_not_found; }

    // Counts one game text read, by what became of it.
    void count_game(GameOutcome outcome) {
        ++games_read;
        games_skipped_for_fen += outcome == GameOutcome::skipped_for_fen;
        games_stopped_early += outcome == GameOutcome::stopped_early;
    }
};

// The phases report progress every this many games or lines (a power of two, so the test
// is a mask): often enough for a few redraws a second, rarely enough to cost nothing.
inline constexpr std::uint64_t progress_period = 4096;

inline bool is_progress_point(std::uint64_t count) { return (count & (progress_period - 1)) == 0; }

}  // namespace vorline
