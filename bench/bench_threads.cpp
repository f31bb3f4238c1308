// vorline-bench threads <pgn file> [depth] [runs] [compressed copy]: the first phase on one thread
// against two (wall time, best of `runs`, default 3, alternating so that both see the same load),
// checked to give indexes of one size; then each stage of the threaded first phase timed
// alone on one thread, per game, in processor time: cutting the file into game texts,
// playing the openings into steps, recording the steps in order; and, given a compressed
// copy of the file, decompressing it (in a thread of its own, so a serial stage too, timed
// by the wall clock while the reader only takes the blocks). From those, the model of
// a larger machine: the two serial stages each need one thread to themselves, and the
// rest of the work spreads over the others, so the time on n cores is the largest of
// cutting, recording, and the whole work divided by n.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_command.h"
#include "board/attack_tables.h"
#include "io/compressed_input.h"
#include "io/file_source.h"
#include "pgn/pgn_file.h"
#include "tool/indexing_pipeline.h"
#include "tool/opening_phases.h"
#include "tool/opening_player.h"

namespace vorline {

namespace {

using Clock = std::chrono::steady_clock;

struct IndexRun {
    double seconds;
    double processor_seconds;
    std::size_t positions;
};

IndexRun index_file(const std::string& path, std::uint32_t depth, unsigned threads) {
    const auto start = Clock::now();
    const double processor_start = processor_seconds();
    OpeningPhases phases;
    // Through the decoder, as the tool reads: a plain file passes straight through.
    std::unique_ptr<ByteSource> source = open_decompressed(FileSource::open(path), path);
    PgnFile games;
    games.open_read(*source);
    phases.build_index(games, depth, threads);
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            processor_seconds() - processor_start, phases.index().size()};
}

int bench_threads(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr,
                     "usage: vorline-bench threads <pgn file> [depth] [runs] [compressed copy]\n");
        return 2;
    }
    const std::string path = argv[1];
    const std::uint32_t depth = argc >= 3 ? std::uint32_t(std::strtoul(argv[2], nullptr, 10)) : 24;
    const int runs = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 3;

    cut_pgn_file(path);  // brings the file into the page cache
    // Slots 1 and 2: the plain file on one and two threads; slot 3: the compressed copy on two.
    const bool compressed = argc >= 5;
    double best[4] = {1e300, 1e300, 1e300, 1e300};
    double best_processor[4] = {1e300, 1e300, 1e300, 1e300};
    std::size_t positions[4] = {0, 0, 0, 0};
    for (int run = 0; run < runs; ++run) {
        for (unsigned slot = 1; slot <= (compressed ? 3u : 2u); ++slot) {
            const IndexRun result =
                index_file(slot == 3 ? argv[4] : path, depth, slot == 1 ? 1 : 2);
            best[slot] = std::min(best[slot], result.seconds);
            best_processor[slot] = std::min(best_processor[slot], result.processor_seconds);
            positions[slot] = result.positions;
        }
    }
    std::printf("file:      %s, depth %u, %zu positions indexed\n", path.c_str(), depth,
                positions[1]);
    std::printf("-t 1:      %.3f s (best of %d), processor %.3f s\n", best[1], runs,
                best_processor[1]);
    std::printf(
        "-t 2:      %.3f s (best of %d): %.2fx as fast as -t 1; processor %.3f s, "
        "%.2fx the work of -t 1\n",
        best[2], runs, best[1] / best[2], best_processor[2], best_processor[2] / best_processor[1]);
    if (compressed)
        std::printf(
            "-t 2, %s: %.3f s (best of %d): %.0f%% of the speed of the plain file on -t 2; "
            "processor %.3f s\n",
            argv[4], best[3], runs, best[2] / best[3] * 100, best_processor[3]);
    if (positions[1] != positions[2] || (compressed && positions[3] != positions[1])) {
        std::printf("FAILED: -t 2 indexed %zu positions, the compressed copy %zu\n", positions[2],
                    positions[3]);
        return 1;
    }

    // The stages alone, each over the whole file. Cutting as the pipeline's first stage
    // does: the game texts appended one after another to a batch's text.
    double start = thread_processor_seconds();
    PgnFile games;
    games.open_read(path);
    std::string batch;
    std::size_t count = 0;
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
        if (batch.size() >= 1 << 16) batch.clear();
        batch += *text;
        ++count;
    }
    const double cut = thread_processor_seconds() - start;

    std::vector<std::string> texts;  // kept for the next stages, untimed
    texts.reserve(count);
    games.open_read(path);
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game())
        texts.push_back(*text);

    const AttackTables tables;
    OpeningPlayer player(tables);
    std::vector<std::vector<OpeningStep>> lines(texts.size());
    start = thread_processor_seconds();
    for (std::size_t i = 0; i < texts.size(); ++i) player.play_game(texts[i], depth, lines[i]);
    const double play = thread_processor_seconds() - start;

    OpeningPhases empty;  // its index holds only the initial position's key
    OpeningIndex index(empty.index().root_key());
    start = thread_processor_seconds();
    record_lines_in_order(index, lines);
    const double record = thread_processor_seconds() - start;
    if (index.size() != positions[1]) {
        std::printf("FAILED: recording the stages alone indexed %zu positions\n", index.size());
        return 1;
    }

    double decompress = 0;
    if (argc >= 5) {
        const auto decompress_start = Clock::now();
        std::unique_ptr<ByteSource> source = open_decompressed(FileSource::open(argv[4]), argv[4]);
        std::vector<char> block(std::size_t{1} << 20);
        while (source->read(block.data(), block.size()) != 0) {
        }
        decompress = std::chrono::duration<double>(Clock::now() - decompress_start).count();
    }

    const double games_count = double(std::max<std::size_t>(texts.size(), 1));
    const double work = cut + play + record;
    std::printf("stages, processor time per game on one thread (%zu games):\n", texts.size());
    std::printf("  cutting   (serial):   %6.2f us\n", cut / games_count * 1e6);
    std::printf("  playing   (parallel): %6.2f us\n", play / games_count * 1e6);
    std::printf("  recording (serial):   %6.2f us\n", record / games_count * 1e6);
    if (argc >= 5)
        std::printf("  decompressing (own thread, wall time): %6.2f us\n",
                    decompress / games_count * 1e6);
    const double serial = std::max({cut, record, decompress});
    std::printf("model, time per game on n cores = max(serial stages, all stages / n):\n");
    for (unsigned cores : {1u, 2u, 4u, 8u, 16u, 32u}) {
        const double seconds = std::max(serial, work / cores);
        std::printf("  %2u cores: %6.2f us per game, %5.2fx one core%s\n", cores,
                    seconds / games_count * 1e6, work / seconds,
                    seconds != serial      ? ""
                    : serial == decompress ? " (bound by decompressing)"
                    : serial == cut        ? " (bound by cutting)"
                                           : " (bound by recording)");
    }
    return 0;
}

const BenchRegistration registration("threads", "<pgn file> [depth] [runs] [compressed copy]",
                                     bench_threads);

}  // namespace

}  // namespace vorline
