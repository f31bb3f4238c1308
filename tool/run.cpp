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
#include "io/thread_start_error.h"
#include "pgn/pgn_file.h"
#include "tool/command_line.h"
#include "tool/epd_line.h"
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

// The indexing and answering of a run whose settings are complete. Progress and file
// errors go to `standard_out`, or to `err` when the output is standard output itself
// (`out_descriptor`), which then gets nothing but games.
int run_phases(Settings& settings, std::ostream& standard_out, std::ostream& err,
               int out_descriptor, ProgressLine& progress) {
    const std::string output_name =
        settings.output_file_name.value_or(output_file_name(settings.epd.name));
    const CatchInterruptions interruptions;
    RunOutputs outputs(settings);
    const std::optional<RunOutputs::Failure> failure = outputs.open(output_name);
    std::ostream& out = outputs.output_is(out_descriptor) ? err : standard_out;
    if (outputs.rolled_back())
        out << "Rolled back " << output_name << ": a run that ended abruptly had appended to it"
            << std::endl;
    out << "reading " << settings.pgn.name << " ..." << std::endl;
    if (failure) {
        out << failure->message << std::endl;
        return failure->status;
    }

    // What the run was doing when it failed, for the message.
    std::string_view doing = "indexing ";
    const std::string* file = &settings.pgn.name;
    try {
        OpeningPhases phases;
        phases.set_line_tags(settings.line_tags);
        {
            const ClearedAtEnd cleared{progress};
            phases.set_progress_hook([&] {
                progress.update([&] {
                    const IndexingState state{settings.pgn.file_bytes->bytes(),
                                              settings.pgn.file_size, phases.index().size()};
                    return indexing_status(phases.counters(), state, progress.seconds());
                });
            });
            if (settings.pgn.file_size)
                phases.expect_input_size(*settings.pgn.file_size,
                                         static_cast<std::uint32_t>(settings.depth));
            PgnFile games;
            games.open_read(*settings.pgn.source);
            phases.build_index(games, static_cast<std::uint32_t>(settings.depth),
                               index_thread_count(settings.threads));
        }
        settings.pgn.source.reset();

        out << "writing " << output_name << " ..." << std::endl;
        doing = "answering ";
        file = &settings.epd.name;
        EpdLineReader epd_lines(*settings.epd.source);
        {
            const ClearedAtEnd cleared{progress};
            phases.set_progress_hook(
                [&] { progress.update([&] { return answering_status(phases.counters()); }); });
            phases.answer_positions(epd_lines, outputs.failed_lines(), outputs.games);
        }
        outputs.close();
        out << "Finished!" << std::endl;
        progress.write_lines(
            run_summary(phases.counters(), phases.index().size(), progress.seconds(), output_name));
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
    } catch (const std::bad_alloc&) {
        outputs.cut_back();
        out << "Out of memory while " << doing << *file << std::endl;
        return failure_status;
    } catch (const ThreadStartError&) {
        outputs.cut_back();
        out << "Cannot start a thread while " << doing << *file << std::endl;
        return failure_status;
    }
    return 0;
}

}  // namespace

int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err,
                int terminal, int out_descriptor) {
    ProgressLine progress(terminal);  // the time taken counts from here
    Settings settings;
    if (const std::optional<int> status = read_command_line(arguments, settings, out, err))
        return *status;
    return run_phases(settings, out, err, out_descriptor, progress);
}

}  // namespace vorline
