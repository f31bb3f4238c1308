// OpeningPhases: the two phases of a run, indexing the games and answering the EPD lines.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "io/output_file.h"
#include "pgn/pgn_file.h"
#include "tool/epd_line.h"
#include "tool/index_file_set.h"
#include "tool/index_spills.h"
#include "tool/opening_game_writer.h"
#include "tool/opening_index.h"
#include "tool/opening_player.h"
#include "tool/run_counters.h"

namespace vorline {

// The side file for EPD lines whose positions are not found, always in the current folder.
inline constexpr std::string_view failed_epd_file_name = "failed.epd";

// The two phases of a run around the opening index that they share: the first indexes
// the positions of the games' openings, the second answers the EPD lines from it. The run
// opens, checks and closes every file; the phases only read and write.
class OpeningPhases {
public:
    OpeningPhases();

    // Tells the first phase how large its input file is (in bytes as stored), so that the
    // index starts at a size it will most likely outgrow rather than at the smallest (and
    // within the budget of the spills, when set before).
    void expect_input_size(std::uint64_t bytes, std::uint32_t depth);

    // Reads every game text of the opened input and indexes the positions of its first
    // `depth` half moves. Prints nothing; a game with a move or a start that cannot be read
    // is skipped, keeping what it added before the fault. Lets through what ends the run:
    // InputError, std::bad_alloc, and Interrupted (checked between games). With more than
    // one thread the games are played on all of them and recorded in file order, so the
    // index is the same for every count.
    void build_index(PgnFile& games, std::uint32_t depth, unsigned threads = 1);

    // Answers every EPD line: a line whose position is indexed becomes a game appended to
    // `output`, any other line (also one the FEN reader rejects) is written unchanged, with
    // a line feed, to `failed_lines`. Lets through what ends the run, as build_index does,
    // and OutputError; Interrupted is checked between lines.
    void answer_positions(EpdLineReader& epd_lines, OutputFile& failed_lines, OutputFile& output);
    // The same from saved indexes instead of the one built; also lets IndexFileError through.
    void answer_positions_from(const IndexFileSet& indexes, EpdLineReader& epd_lines,
                               OutputFile& failed_lines, OutputFile& output);

    const OpeningIndex& index() const { return index_; }
    OpeningIndex& index() { return index_; }

    // What the phases have done so far. Every progress_period games or lines, the phase calls
    // the progress hook (when one is set) with the counters up to date.
    const RunCounters& counters() const { return counters_; }
    void set_progress_hook(std::function<void()> hook) { progress_hook_ = std::move(hook); }
    // Keeps the first phase within a memory budget: the index is spilled between games.
    void set_spills(IndexSpills* spills) { spills_ = spills; }
    // Each output game also gets the line tags: the number of its EPD line and its "id".
    void set_line_tags(bool on) { line_tags_ = on; }

    // Counts the games behind saved indexes as if this run had read them.
    void count_games(const RunCounters& games) {
        counters_.games_read += games.games_read;
        counters_.games_skipped_for_fen += games.games_skipped_for_fen;
        counters_.games_stopped_early += games.games_stopped_early;
    }

private:
    template <class Lookup>
    void answer_from(const Lookup& lookup, EpdLineReader& epd_lines, OutputFile& failed_lines,
                     OutputFile& output);
    void report_progress(std::uint64_t count) {
        if (is_progress_point(count) && progress_hook_) progress_hook_();
    }

    struct EpdLine {
        std::string text;
        bool readable = false;  // the FEN reader took it
    };

    std::unique_ptr<const AttackTables> tables_;  // shared by every position below
    OpeningIndex index_;
    // The first phase.
    OpeningPlayer player_;
    // The steps of the games played and not yet recorded, oldest first.
    std::vector<std::vector<OpeningStep>> steps_ = std::vector<std::vector<OpeningStep>>(64);
    // The second phase, a batch of EPD lines at a time.
    std::vector<EpdLine> batch_;
    std::vector<std::uint64_t> keys_;                // their keys
    std::vector<std::vector<std::uint32_t>> moves_;  // the moves found for them
    OpeningGameWriter writer_;
    std::string game_text_;
    std::string tag_lines_;  // the line tags of the game being written, when asked for
    RunCounters counters_;
    std::function<void()> progress_hook_;
    bool line_tags_ = false;
    IndexSpills* spills_ = nullptr;
};

}  // namespace vorline
