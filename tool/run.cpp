#include "tool/run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "pgn/compressed_input.h"
#include "pgn/file_source.h"
#include "pgn/pgn_file.h"
#include "tool/command_line.h"
#include "tool/counted_source.h"
#include "tool/epd_line.h"
#include "tool/indexing_pipeline.h"
#include "tool/interruption.h"
#include "tool/opening_phases.h"
#include "tool/output_file.h"
#include "tool/progress_line.h"
#include "tool/run_report.h"

namespace {

constexpr int failure = -1;

// The size of the regular file open on `descriptor`, for the share read; none for a pipe
// or a device.
std::optional<std::uint64_t> regular_file_size(int descriptor) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

// An input as its check opened it: the run reads this very stream, so a pipe, /dev/stdin
// or a process substitution is read once, as it comes. A compressed input is read through
// its decoder, told by its first bytes when the reading begins.
struct Input {
    std::string name;
    std::unique_ptr<ByteSource> source;
    FileIdentity identity;
    const CountedSource* file_bytes = nullptr;  // the bytes of the file itself, read so far
    std::optional<std::uint64_t> file_size;     // of a regular file

    bool open(std::string_view file_name) {
        name = file_name;
        std::unique_ptr<FileSource> file = FileSource::open(name);
        if (!file) return false;
        identity = FileIdentity::of(file->descriptor());
        file_size = regular_file_size(file->descriptor());
        auto counted = std::make_unique<CountedSource>(std::move(file));
        file_bytes = counted.get();
        source = open_decompressed(std::move(counted), name);
        return true;
    }
};

struct Settings {
    Input pgn;
    Input epd;
    std::int32_t depth = default_depth;
    std::int32_t threads = 0;                     // 0 or less: one per hardware thread
    std::optional<std::string> output_file_name;  // "-o"; else named after the EPD file
    bool line_tags = false;                       // "-l"
};

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

int usage_error(std::string_view message, std::ostream& out, std::ostream& err) {
    out << banner << std::endl;
    err << message << std::endl << "Type 'vorline -h' for help" << std::endl;
    return failure;
}

int file_error(std::string_view what, std::string_view file_name, std::ostream& out) {
    out << what << file_name << std::endl;
    return failure;
}

// The files a run writes: the output games, appended to, and "failed.epd", replaced. When
// the EPD file is "failed.epd" itself, the new lines go to a temporary file beside it that
// is renamed over it at the end, so that the lines being answered are never lost.
class Outputs {
public:
    explicit Outputs(const Settings& settings) : settings_(settings) {}

    // Opens and locks both files before any game is read; writes nothing. Returns 0, or
    // the failure status after printing why.
    int open(const std::string& output_name, std::ostream& out) {
        if (!games.open(output_name)) return file_error("Error while opening ", output_name, out);
        const std::string failed_name(failed_epd_file_name);
        if (!failed_.open(failed_name)) return file_error("Error while opening ", failed_name, out);
        const FileIdentity output_id = games.identity(), failed_id = failed_.identity();
        for (const Input* input : {&settings_.pgn, &settings_.epd})
            if (output_id == input->identity)
                return file_error("Output file is an input file: ", output_name, out);
        if (failed_id == settings_.pgn.identity || failed_id == output_id)
            return file_error("Output file is an input file: ", failed_name, out);
        replacing_epd_ = failed_id == settings_.epd.identity;
        if (!games.lock()) return file_error("File in use by another run: ", output_name, out);
        if (!failed_.lock()) return file_error("File in use by another run: ", failed_name, out);
        return 0;
    }

    // The file the failed lines go to, emptied; opened when the second phase begins.
    OutputFile& failed_lines() {
        if (!replacing_epd_) {
            failed_.empty();
            return failed_;
        }
        if (!temporary_.create_unique(failed_.name() + ".new", failed_.name()))
            throw OutputError(failed_.name(), "cannot be created");
        return temporary_;
    }

    // Closes every file whole. Everything is written before the new failed lines take the
    // place of the old, so that a failure up to then can still be undone by cut_back().
    void close() {
        games.flush();
        if (replacing_epd_) {
            temporary_.flush(true);
            if (std::rename(temporary_.path().c_str(), failed_.path().c_str()) != 0)
                throw OutputError(failed_.name(), "cannot be replaced");
            temporary_.close();
        }
        failed_.close();
        games.close();
    }

    // Leaves the output as it was before the run, and an EPD file being answered untouched.
    void cut_back() noexcept {
        games.cut_back();
        if (!replacing_epd_) return;
        temporary_.cut_back();
        if (!temporary_.path().empty()) std::remove(temporary_.path().c_str());
    }

    OutputFile games;

private:
    const Settings& settings_;
    OutputFile failed_;
    OutputFile temporary_;
    bool replacing_epd_ = false;
};

// The indexing and answering of a run whose settings are complete.
int run_phases(Settings& settings, std::ostream& out, ProgressLine& progress) {
    const std::string output_name =
        settings.output_file_name.value_or(output_file_name(settings.epd.name));
    out << "reading " << settings.pgn.name << " ..." << std::endl;
    const CatchInterruptions interruptions;
    Outputs outputs(settings);
    if (const int status = outputs.open(output_name, out)) return status;

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
        return failure;
    }
    return 0;
}

}  // namespace

int run_vorline(std::span<const char* const> arguments, std::ostream& out, std::ostream& err,
                int terminal) {
    ProgressLine progress(terminal);  // the time taken counts from here
    Settings settings;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') continue;
        // The value is the next argument, which is still visited in its own turn; an
        // option that ends the command line has an empty value.
        const std::string_view value = i + 1 < arguments.size() ? arguments[i + 1] : "";
        switch (argument[1]) {
            case 'h':
                out << help_text() << std::flush;
                return 0;
            case 'p':
                if (!settings.pgn.open(value))
                    return file_error("Problem with input pgn-file ", value, out);
                break;
            case 'e':
                if (!settings.epd.open(value))
                    return file_error("Problem with input epd-file ", value, out);
                break;
            case 'd':
                settings.depth = read_depth(value, settings.depth);
                break;
            case 't':
                // Read as "-d" reads its number.
                settings.threads = read_depth(value, settings.threads);
                break;
            case 'o':
                settings.output_file_name = value;
                break;
            case 'l':
                settings.line_tags = true;
                break;
            default:
                break;
        }
    }
    if (settings.pgn.name.empty()) return usage_error("Missing pgn file", out, err);
    if (settings.epd.name.empty()) return usage_error("Missing epd file", out, err);
    if (settings.output_file_name && settings.output_file_name->empty())
        return usage_error("Missing output file name after -o", out, err);
    return run_phases(settings, out, progress);
}
