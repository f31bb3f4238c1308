#include "tool/run.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "io/byte_source.h"
#include "io/output_file.h"
#include "io/thread_start_error.h"
#include "pgn/pgn_file.h"
#include "tool/command_line.h"
#include "tool/epd_line.h"
#include "tool/index_run.h"
#include "tool/indexing_pipeline.h"
#include "tool/interruption.h"
#include "tool/memory_budget.h"
#include "tool/opening_phases.h"
#include "tool/progress_line.h"
#include "tool/run_outputs.h"
#include "tool/run_record.h"
#include "tool/run_report.h"

namespace vorline {

namespace {

// Takes the progress line off the terminal when a phase ends, also by an exception, before
// the next message is printed.
struct ClearedAtEnd {
    ProgressLine& line;
    ~ClearedAtEnd() { line.clear(); }
};

// The threads of the first phase: as many as asked for, up to max_index_threads; 0 or a
// negative number asks for one per hardware thread, which is also the default.
unsigned index_thread_count(std::int32_t asked) {
    if (asked <= 0) asked = std::int32_t(std::max(1u, std::thread::hardware_concurrency()));
    return std::min(unsigned(asked), max_index_threads);
}

// Keeps the counts of the phases for the report however they end, also by an exception.
struct CountsKept {
    RunRecord& record;
    const OpeningPhases& phases;
    const std::uint64_t& positions;
    ~CountsKept() {
        record.phases_ran = true;
        record.positions = positions;
        try {
            record.counters = phases.counters();
        } catch (const std::bad_alloc&) {
            record.counters.found_by_half_moves.clear();  // the report goes without them
        }
    }
};

// A failure met by the phases: its message on `out` (and, as before, nothing on standard
// error), the message and the reason kept for the report.
int phase_failure(std::string message, std::string_view reason, Settings& settings,
                  std::ostream& out) {
    out << message << std::endl;
    settings.failure = std::move(message);
    settings.failure_reason = reason;
    return failure_status;
}

// The indexing and answering of a run whose settings are complete. The index is built from
// the games ("-p"), within the memory budget, or read from saved indexes ("-i"); "-w" saves
// it, and the EPD lines ("-e") are answered from it. Progress and file errors go to
// `standard_out`, or to `err` when the output is standard output itself (`out_descriptor`),
// which then gets nothing but games.
int run_phases(Settings& settings, RunRecord& record, std::ostream& standard_out, std::ostream& err,
               int out_descriptor, ProgressLine& progress) {
    const bool answering = !settings.epd.name.empty();
    const std::string output_name =
        answering ? settings.output_file_name.value_or(output_file_name(settings.epd.name)) : "";
    const CatchInterruptions interruptions;
    RunOutputs outputs(settings);
    std::optional<RunOutputs::Failure> failure;
    if (answering) failure = outputs.open(output_name);
    std::ostream& out = answering && outputs.output_is(out_descriptor) ? err : standard_out;
    if (outputs.rolled_back())
        out << "Rolled back " << output_name << ": a run that ended abruptly had appended to it"
            << std::endl;
    if (!settings.pgn.name.empty()) out << "reading " << settings.pgn.name << " ..." << std::endl;
    if (failure) {
        out << failure->message << std::endl;
        if (failure->status != failure_status) {
            record.outcome = "interrupted";
            return failure->status;
        }
        if (!failure->reason.empty())
            err << failure->file_name << ": " << failure->reason << std::endl;
        settings.failure = failure->message;
        settings.failure_reason = failure->reason;
        return failure->status;
    }
    if (answering) {
        const bool output_new = outputs.output_created() || outputs.output_bytes_before() == 0;
        record.output =
            OutputRecord{output_name, outputs.output_created(), outputs.output_bytes_before(),
                         output_new ? std::optional<std::uint64_t>(0) : std::nullopt, 0};
        record.failed_epd = std::string(failed_epd_file_name);
    }
    const auto given_up = [&](int status) {
        outputs.cut_back();
        return status;
    };
    IndexFileSet indexes;
    if (!settings.index_files.empty())
        if (const int status = open_index_files(settings, indexes, out)) return given_up(status);
    if (settings.write_index)
        if (const int status = check_index_target(settings, out)) return given_up(status);
    WrittenFile index_file;
    if (settings.write_index && !index_file.create_replacing(*settings.write_index)) {
        const std::string reason = std::strerror(errno);
        outputs.cut_back();
        return file_error("Error while opening ", *settings.write_index, reason, settings, out,
                          err);
    }
    const unsigned threads = index_thread_count(settings.threads);
    if (!settings.pgn.name.empty()) record.threads = threads;

    // What the run was doing when it failed, for the message.
    std::string_view doing = "indexing ";
    const std::string* file =
        settings.pgn.name.empty() ? &settings.index_files.front() : &settings.pgn.name;
    try {
        OpeningPhases phases;
        std::uint64_t positions = 0;
        const CountsKept kept{record, phases, positions};
        phases.set_line_tags(settings.line_tags);
        const std::string scratch = scratch_folder(settings);
        IndexSpills spills(settings.memory_budget.value_or(default_memory_budget()), scratch,
                           games_summary(settings, phases.index().root_key(), {}, 0));
        std::uint64_t games_bytes = 0;  // of the games file, read
        if (!settings.pgn.name.empty()) {
            const ClearedAtEnd cleared{progress};
            phases.set_progress_hook([&] {
                progress.update([&] {
                    const IndexingState state{settings.pgn.file_bytes->bytes(),
                                              settings.pgn.file_size, phases.index().size()};
                    return indexing_status(phases.counters(), state, progress.seconds());
                });
            });
            phases.set_spills(&spills);
            if (settings.pgn.file_size)
                phases.expect_input_size(*settings.pgn.file_size,
                                         static_cast<std::uint32_t>(settings.depth));
            PgnFile games;
            games.open_read(*settings.pgn.source);
            phases.build_index(games, static_cast<std::uint32_t>(settings.depth), threads);
            games_bytes = settings.pgn.file_bytes->bytes();
            settings.pgn.source.reset();
            if (spills.any() && phases.index().size() > 0)
                spills.spill(phases.index(), phases.counters());
        } else {
            for (const auto& index_file : indexes.files())
                phases.count_games(summary_counters(index_file->header()));
        }

        // The index to answer from, when not the one in memory: the saved indexes, or the
        // one file they or the spills are merged into.
        const IndexFileSet* answer_from = settings.pgn.name.empty() ? &indexes : nullptr;
        IndexFileSet merged;
        positions = settings.pgn.name.empty() ? indexes.positions() : phases.index().size();
        if (settings.write_index || spills.any()) {
            if (!settings.write_index && !index_file.create_scratch(scratch, scratch))
                throw OutputError(scratch, "cannot be created");
            const IndexSummary summary =
                games_summary(settings, phases.index().root_key(), phases.counters(), games_bytes);
            if (!settings.pgn.name.empty() && !spills.any()) {
                write_index_file(phases.index(), summary, index_file);
            } else {
                const IndexFileSet& parts = spills.any() ? spills.files() : indexes;
                merged.add(merge_into_file(parts, summary, !spills.any(), scratch, index_file));
                positions = merged.positions();
                answer_from = &merged;
            }
            if (settings.write_index) index_file.commit();
        }
        if (!answering && !settings.write_index)
            for (const auto& saved : indexes.files()) saved->verify_all();
        if (!answering) {
            out << "Finished!" << std::endl;
            record.outcome = "finished";
            record.hints = run_hints(phases.counters(), positions, settings.depth);
            std::string summary = run_summary(phases.counters(), positions, progress.seconds(),
                                              settings.write_index.value_or(""));
            for (const std::string& hint : record.hints) summary += "hint: " + hint + '\n';
            progress.write_lines(summary);
            return 0;
        }

        out << "writing " << output_name << " ..." << std::endl;
        doing = "answering ";
        file = &settings.epd.name;
        EpdLineReader epd_lines(*settings.epd.source);
        {
            const ClearedAtEnd cleared{progress};
            phases.set_progress_hook([&] {
                progress.update([&] {
                    return answering_status(phases.counters(), settings.epd.file_bytes->bytes(),
                                            settings.epd.file_size);
                });
            });
            if (answer_from)
                phases.answer_positions_from(*answer_from, epd_lines, outputs.failed_lines(),
                                             outputs.games);
            else
                phases.answer_positions(epd_lines, outputs.failed_lines(), outputs.games);
        }
        outputs.close();
        record.output->games_added = phases.counters().lines_found;
        out << "Finished!" << std::endl;
        record.outcome = "finished";
        record.hints = run_hints(phases.counters(), positions, settings.depth);
        std::string summary =
            run_summary(phases.counters(), positions, progress.seconds(), output_name);
        for (const std::string& hint : record.hints) summary += "hint: " + hint + '\n';
        progress.write_lines(summary);
    } catch (const Interrupted& interruption) {
        // Stopped between two games or lines: like a failed run, it leaves the output as
        // it was and the EPD file being answered untouched.
        outputs.cut_back();
        out << "Interrupted" << std::endl;
        record.outcome = "interrupted";
        return 128 + interruption.signal();
    } catch (const InputError& error) {
        outputs.cut_back();
        return phase_failure("Error while reading " + *file, error.what(), settings, out);
    } catch (const OutputError& error) {
        outputs.cut_back();
        return phase_failure("Error while writing " + error.file_name(), error.what(), settings,
                             out);
    } catch (const IndexFileError& error) {
        outputs.cut_back();
        return index_file_problem(error, settings, out);
    } catch (const std::bad_alloc&) {
        outputs.cut_back();
        return phase_failure("Out of memory while " + std::string(doing) + *file, {}, settings,
                             out);
    } catch (const ThreadStartError& error) {
        outputs.cut_back();
        return phase_failure("Cannot start a thread while " + std::string(doing) + *file,
                             error.what(), settings, out);
    }
    return 0;
}

}  // namespace

int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err,
                int terminal, int out_descriptor) {
    ProgressLine progress(terminal);  // the time taken counts from here
    Settings settings;
    RunRecord record;
    std::optional<int> status = read_command_line(arguments, settings, out, err);
    if (status && *status == 0) return 0;  // the help text or the version: no report
    if (!status) status = run_phases(settings, record, out, err, out_descriptor, progress);
    if (!settings.report.wanted()) return *status;
    record.arguments.assign(arguments.begin(), arguments.end());
    return write_report(settings, record, *status, progress.seconds(), out, err);
}

}  // namespace vorline
