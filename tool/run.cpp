#include "tool/run.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "io/byte_source.h"
#include "io/output_file.h"
#include "pgn/pgn_file.h"
#include "tool/command_line.h"
#include "tool/epd_line.h"
#include "tool/index_run.h"
#include "tool/indexing_pipeline.h"
#include "tool/interruption.h"
#include "tool/opening_phases.h"
#include "tool/progress_line.h"
#include "tool/run_outputs.h"
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

// The indexing and answering of a run whose settings are complete. The index is built from
// the games ("-p"), within the memory budget, or read from saved indexes ("-i"); "-w" saves
// it, and the EPD lines ("-e") are answered from it.
int run_phases(Settings& settings, std::ostream& out, ProgressLine& progress) {
    const bool answering = !settings.epd.name.empty();
    const std::string output_name =
        answering ? settings.output_file_name.value_or(output_file_name(settings.epd.name)) : "";
    if (!settings.pgn.name.empty()) out << "reading " << settings.pgn.name << " ..." << std::endl;
    const CatchInterruptions interruptions;
    IndexFileSet indexes;
    if (!settings.index_files.empty())
        if (const int status = open_index_files(settings, indexes, out)) return status;
    if (settings.write_index)
        if (const int status = check_index_target(settings, out)) return status;
    RunOutputs outputs(settings);
    if (answering)
        if (const int status = outputs.open(output_name, out)) return status;
    WrittenFile index_file;
    if (settings.write_index && !index_file.create_replacing(*settings.write_index))
        return file_error("Error while opening ", *settings.write_index, out);

    // What the run was doing when it failed, for the message.
    std::string_view doing = "indexing ";
    const std::string* file =
        settings.pgn.name.empty() ? &settings.index_files.front() : &settings.pgn.name;
    try {
        OpeningPhases phases;
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
            phases.build_index(games, static_cast<std::uint32_t>(settings.depth),
                               index_thread_count(settings.threads));
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
        std::uint64_t positions =
            settings.pgn.name.empty() ? indexes.positions() : phases.index().size();
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
            progress.write_lines(run_summary(phases.counters(), positions, progress.seconds(),
                                             settings.write_index.value_or("")));
            return 0;
        }

        out << "writing " << output_name << " ..." << std::endl;
        doing = "answering ";
        file = &settings.epd.name;
        EpdLineReader epd_lines(*settings.epd.source);
        {
            const ClearedAtEnd cleared{progress};
            phases.set_progress_hook(
                [&] { progress.update([&] { return answering_status(phases.counters()); }); });
            if (answer_from)
                phases.answer_positions_from(*answer_from, epd_lines, outputs.failed_lines(),
                                             outputs.games);
            else
                phases.answer_positions(epd_lines, outputs.failed_lines(), outputs.games);
        }
        outputs.close();
        out << "Finished!" << std::endl;
        progress.write_lines(
            run_summary(phases.counters(), positions, progress.seconds(), output_name));
    } catch (const Interrupted& interruption) {
        // Stopped between two games or lines: like a failed run, it leaves the output as
        // it was and the EPD file being answered untouched.
        outputs.cut_back();
        out << "Interrupted" << std::endl;
        return 128 + interruption.signal();
    } catch (const InputError&) {
        outputs.cut_back();
        return file_error("Error while reading ", *file, out);
    } catch (const OutputError& error) {
        outputs.cut_back();
        return file_error("Error while writing ", error.file_name(), out);
    } catch (const IndexFileError& error) {
        outputs.cut_back();
        return index_file_problem(error, out);
    } catch (const std::bad_alloc&) {
        outputs.cut_back();
        out << "Out of memory while " << doing << *file << std::endl;
        return failure_status;
    }
    return 0;
}

}  // namespace

int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err,
                int terminal) {
    ProgressLine progress(terminal);  // the time taken counts from here
    Settings settings;
    if (const std::optional<int> status = read_command_line(arguments, settings, out, err))
        return *status;
    return run_phases(settings, out, progress);
}

}  // namespace vorline
