// Runs the whole tool in-process on a fuzzed PGN file and EPD file, in a scratch
// directory. The input is split at the line "%%EPD%%": the PGN text before it, the EPD text
// after it (without it, the same bytes serve as both). Every run must finish, and every
// EPD line must come out once: as a game in the output file or, unchanged and in order, in
// "failed.epd". Every game text is also played and written by the tool's fast paths and by
// the full reader, which must agree (checks/opening_check.h). Then a run in a child process is
// killed at a moment drawn from the input, and a run on the same files must leave them as
// the run alone did, or as two whole runs when the killed one had as good as completed: a
// killed run happens whole or not at all.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "checks/opening_check.h"
#include "fuzz/fuzz_support.h"
#include "io/compressed_input.h"
#include "pgn/pgn_file.h"
#include "tool/archive_check.h"
#include "tool/run.h"

namespace vorline {

namespace {

constexpr std::string_view separator = "\n%%EPD%%\n";

// The EPD lines as the tool reads them: a UTF-8 byte-order mark before the first is dropped,
// one carriage return before a line feed belongs to the line break, and a last line
// without a break counts.
std::vector<std::string_view> epd_lines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::size_t count_games(std::string_view output) {
    std::size_t count = 0;
    for (std::size_t at = output.find("[Event \"?\"]\n"); at != std::string_view::npos;
         at = output.find("[Event \"?\"]\n", at + 1))
        if (at == 0 || output[at - 1] == '\n') ++count;
    return count;
}

// The tool writes "failed.epd" into the current directory: each run happens in the scratch
// directory, and the fuzzer's own directory is restored after it.
class InScratchDirectory {
public:
    InScratchDirectory() : home_(std::filesystem::current_path()) {
        std::filesystem::current_path(scratch_directory());
    }
    ~InScratchDirectory() { std::filesystem::current_path(home_); }
    InScratchDirectory(const InScratchDirectory&) = delete;
    InScratchDirectory& operator=(const InScratchDirectory&) = delete;

private:
    std::filesystem::path home_;
};

constexpr std::string_view earlier_output = "[Event \"earlier run\"]\n\n1. e4 *\n\n";

// Starts the run in a child process on one thread (a forked child has none of oneTBB's
// workers) and ends it with SIGKILL after `delay`, unless it finished before. Returns
// whether it was killed.
bool run_killed_after(std::span<const char* const> arguments, std::chrono::microseconds delay) {
    const pid_t child = fork();
    require(child >= 0, "a child process starts");
    if (child == 0) {
        std::ostringstream out, err;
        _exit(run_vorline(arguments, out, err) == 0 ? 0 : 1);
    }
    std::this_thread::sleep_for(delay);
    kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    if (WIFEXITED(status)) require(WEXITSTATUS(status) == 0, "the child's run succeeds");
    return WIFSIGNALED(status);
}

// After a run killed at any moment, the next run on the same files leaves what one run
// alone leaves (the earlier output, this run's games, this run's failed lines), or, when
// the killed run had got as far as putting failed.epd in place, what two whole runs leave.
void check_rollback(std::span<const char* const> arguments, std::chrono::microseconds delay,
                    const std::string& games_alone, const std::string& failed_alone) {
    write_scratch_file("pos.pgn", earlier_output);
    bool killed = run_killed_after(arguments, delay);
    if (killed) {
        std::ostringstream out, err;
        require(run_vorline(arguments, out, err) == 0, "the run after a killed one succeeds");
        require(out.str().ends_with("Finished!\n"), "the run after a killed one finishes");
    }
    const std::string output = read_file("pos.pgn");
    const std::string one_run = std::string(earlier_output) + games_alone;
    require(output == one_run || (killed && output == one_run + games_alone),
            "a killed run, then the next, leave the output of one or two whole runs");
    require(read_file("failed.epd") == failed_alone,
            "failed.epd after a killed run and the next is as after one run");
    for (const auto& entry : std::filesystem::directory_iterator("."))
        require(entry.path().filename().string().find(".new.") == std::string::npos &&
                    entry.path().extension() != ".vorline-journal",
                "no journal or temporary file is left");
}

}  // namespace

}  // namespace vorline

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    using namespace vorline;
    silence_error_stream();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorline;
    const std::string_view input = as_text(data, size);
    const std::size_t split = input.find(separator);
    const std::string_view games = split == std::string_view::npos ? input : input.substr(0, split);
    const std::string_view epd =
        split == std::string_view::npos ? input : input.substr(split + separator.size());
    write_scratch_file("games.pgn", games);
    write_scratch_file("pos.epd", epd);
    const InScratchDirectory in_scratch;
    std::filesystem::remove("pos.pgn");
    const char* depth = size % 3 == 0 ? "1000" : "24";
    // The fast paths of both phases against the full reader, game text by game text.
    PgnFile cut;
    cut.open_read("games.pgn");
    for (const std::string* text = &cut.read_first_game(); !text->empty();
         text = &cut.read_next_game())
        check_opening(*text, size % 3 == 0 ? 1000 : 24);

    // A file that begins with the magic number of a compressed format is read as one, and
    // the run stops when it does not decode; the compressed-input tests hold those runs.
    // One that looks like an archive is refused at its check.
    for (const std::string_view file : {games, epd})
        if (compression_of(file.substr(0, compression_magic_size)) != Compression::none ||
            !archive_reason(file.substr(0, archive_probe_size)).empty())
            return 0;

    const char* arguments[] = {"-p", "games.pgn", "-e", "pos.epd", "-d", depth};
    std::ostringstream out;
    std::ostringstream err;
    const int status = run_vorline(arguments, out, err);
    require(status == 0, "a run on readable files succeeds");
    require(out.str() == "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n",
            "progress lines");

    const std::vector<std::string_view> lines = epd_lines(epd);
    const std::string failed = read_file("failed.epd");
    require(failed.empty() || failed.back() == '\n', "failed.epd ends with a line break");
    std::size_t next = 0;
    std::size_t failed_count = 0;
    for (const std::string_view line : split_lines(failed, false)) {
        while (next < lines.size() && lines[next] != line) ++next;
        require(next < lines.size(), "failed.epd holds EPD lines, unchanged and in order");
        ++next;
        ++failed_count;
    }
    const std::string games_alone = read_file("pos.pgn");
    const std::size_t games_written = count_games(games_alone);
    require(games_written + failed_count == lines.size(), "every EPD line comes out once");

    const char* one_thread[] = {"-p", "games.pgn", "-e", "pos.epd", "-d", depth, "-t", "1"};
    std::size_t hash = 0;
    for (const char c : input) hash = hash * 31 + static_cast<unsigned char>(c);
    check_rollback(one_thread, std::chrono::microseconds(hash % 4000), games_alone, failed);
    return 0;
}
