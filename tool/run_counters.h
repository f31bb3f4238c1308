// RunCounters: what the two phases of a run have done so far, for the progress line and summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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
    // The found lines by the half moves of their answers (index 0: the initial position).
    std::vector<std::uint64_t> found_by_half_moves;
    // Of the lines not found: those the FEN reader rejects, and those whose move number
    // names more half moves than the depth covers, with the most any of them names.
    std::uint64_t lines_unreadable = 0;
    std::uint64_t lines_beyond_depth = 0;
    std::uint64_t depth_covering_all = 0;

    std::uint64_t lines_answered() const { return lines_found + lines_not_found; }

    // Counts one found line whose answer has `half_moves` moves.
    void count_found(std::size_t half_moves) {
        ++lines_found;
        if (half_moves >= found_by_half_moves.size()) found_by_half_moves.resize(half_moves + 1);
        ++found_by_half_moves[half_moves];
    }
    // Counts one line not found: unreadable, or naming `named_half_moves` (0 for none).
    void count_not_found(bool readable, std::uint64_t named_half_moves, std::uint64_t depth) {
        ++lines_not_found;
        lines_unreadable += !readable;
        if (readable && named_half_moves > depth) {
            ++lines_beyond_depth;
            if (named_half_moves > depth_covering_all) depth_covering_all = named_half_moves;
        }
    }

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
