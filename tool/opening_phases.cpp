#include "tool/opening_phases.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "io/output_file.h"
#include "tool/epd_line.h"
#include "tool/indexing_pipeline.h"
#include "tool/interruption.h"
#include "tool/line_tags.h"

namespace vorline {

namespace {

std::uint64_t start_key(const AttackTables& tables) {
    ChessPosition position(tables);
    position.set_start_position();
    return position.hash();
}

}  // namespace

OpeningPhases::OpeningPhases()
    : tables_(std::make_unique<const AttackTables>()),
      index_(start_key(*tables_)),
      player_(*tables_),
      writer_(*tables_) {}

void OpeningPhases::expect_input_size(std::uint64_t bytes, std::uint32_t depth) {
    // Real game files hold far fewer than one position new to the index per 1,024 bytes at
    // depth 24 and beyond (about one per 130 with bare movetext, one per 500 with engine
    // comments), fewer still at lower depths, and compressed ones are counted by their
    // stored size: a table for that many is outgrown in all but odd files (the same game
    // over and over), where it costs at most about a hundredth of the file's size.
    constexpr std::uint64_t bytes_per_position = 1024;
    constexpr std::uint64_t full_depth = 24;
    std::uint64_t positions =
        bytes / bytes_per_position * std::min<std::uint64_t>(depth, full_depth) / full_depth;
    if (spills_) positions = std::min(positions, spills_->limit());  // within the budget
    index_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(positions, SIZE_MAX)));
}

void OpeningPhases::build_index(PgnFile& games, std::uint32_t depth, unsigned threads) {
    if (threads > 1)
        return build_index_in_parallel(games, depth, threads, *tables_, index_, counters_,
                                       progress_hook_, spills_);
    // The steps of a run of games are recorded together, in file order, so that each
    // game's table slots and nodes are fetched while the games before it are recorded.
    std::size_t played = 0;
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
        stop_if_interrupted();
        counters_.count_game(player_.play_game(*text, depth, steps_[played++]));
        report_progress(counters_.games_read);
        if (played == steps_.size()) {
            if (spills_) spills_->make_room(index_, steps_, counters_);
            record_lines_in_order(index_, steps_);
            played = 0;
        }
    }
    if (spills_) spills_->make_room(index_, std::span(steps_).first(played), counters_);
    record_lines_in_order(index_, std::span(steps_).first(played));
}

void OpeningPhases::answer_positions(EpdLineReader& epd_lines, OutputFile& failed_lines,
                                     OutputFile& output) {
    answer_from(index_, epd_lines, failed_lines, output);
}

void OpeningPhases::answer_positions_from(const IndexFileSet& indexes, EpdLineReader& epd_lines,
                                          OutputFile& failed_lines, OutputFile& output) {
    answer_from(indexes, epd_lines, failed_lines, output);
}

template <class Lookup>
void OpeningPhases::answer_from(const Lookup& lookup, EpdLineReader& epd_lines,
                                OutputFile& failed_lines, OutputFile& output) {
    // Lines are read and looked up a batch at a time: the keys of a batch are known before
    // the first of its lines is answered, so the index's table slots and nodes are fetched
    // ahead and the walks back go in step, their cache misses overlapping.
    constexpr std::size_t batch_size = 32;
    static_assert(batch_size <= Lookup::batch_limit);
    batch_.resize(batch_size);
    keys_.resize(batch_size);
    moves_.resize(batch_size);
    bool found[batch_size];
    std::string_view text;
    for (bool more = true; more;) {
        stop_if_interrupted();
        std::size_t count = 0;
        while (count < batch_size && (more = epd_lines.next(text))) {
            EpdLine& line = batch_[count++];
            line.text.assign(text);
            // A line the FEN reader rejects is not found.
            const std::optional<std::uint64_t> key = ChessPosition::lookup_key_of_fen(line.text);
            line.readable = key.has_value();
            if (line.readable) {
                keys_[count - 1] = *key;
                lookup.prefetch(*key);
            }
        }
        for (std::size_t i = 0; i < count; ++i)
            if (batch_[i].readable) lookup.prefetch_node(keys_[i]);
        lookup.walk_back_batch(std::span(keys_).first(count), moves_, found);
        for (std::size_t i = 0; i < count; ++i) {
            const EpdLine& line = batch_[i];
            if (line_tags_ && line.readable && found[i])
                tag_lines_ = line_tag_lines(counters_.lines_answered() + 1, line.text);
            // A sound index never holds a move that is not legal where it stands.
            if (line.readable && found[i] && writer_.write(moves_[i], game_text_, tag_lines_)) {
                output.write(game_text_);
                ++counters_.lines_found;
            } else {
                failed_lines.write(line.text);
                failed_lines.write("\n");
                ++counters_.lines_not_found;
            }
            report_progress(counters_.lines_answered());
        }
    }
}

}  // namespace vorline
