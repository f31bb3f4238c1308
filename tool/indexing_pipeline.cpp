#include "tool/indexing_pipeline.h"

#include <oneapi/tbb/concurrent_queue.h>
#include <oneapi/tbb/enumerable_thread_specific.h>
#include <oneapi/tbb/global_control.h>
#include <oneapi/tbb/parallel_pipeline.h>
#include <oneapi/tbb/task_arena.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "tool/interruption.h"
#include "tool/opening_player.h"
#include "tool/thread_check.h"

namespace vorline {

namespace {

// A batch ends after this many games or bytes of game text, whichever comes first: enough
// that handing a batch from stage to stage costs little beside playing it, few enough that
// the batches in flight hold little memory.
constexpr std::size_t batch_games = 64;
constexpr std::size_t batch_bytes = std::size_t{1} << 16;
// Room for the texts of a batch: its last game usually ends within this, so that the text
// does not double its room for one game beyond batch_bytes.
constexpr std::size_t batch_room = batch_bytes + batch_bytes / 4;

// The game texts of a batch lie one after another in one text, so that a batch holds about
// batch_bytes whatever the sizes of the games it held before.
struct Batch {
    std::string texts;
    std::vector<std::size_t> ends;  // where each game text ends in `texts`
    std::vector<std::vector<OpeningStep>> lines =
        std::vector<std::vector<OpeningStep>>(batch_games);
    std::vector<GameOutcome> outcomes = std::vector<GameOutcome>(batch_games);

    std::string_view text(std::size_t game) const {
        const std::size_t start = game == 0 ? 0 : ends[game - 1];
        return std::string_view(texts).substr(start, ends[game] - start);
    }
};

// oneTBB orders the stages through synchronisation inside its library, which
// ThreadSanitizer cannot see: without help it takes the serial stages' turns on two
// threads, or a batch handed from stage to stage, for races. Every stage body holds a Turn,
// an acquire-release step on one shared atomic as it starts and as it ends, which makes the
// order that oneTBB gives visible; two atomic operations per batch and stage cost nothing
// beside playing 64 games. Bodies that really overlap still race in its eyes.
class Turn {
public:
    explicit Turn(std::atomic<unsigned>& order) : order_(order) { step(); }
    ~Turn() { step(); }
    Turn(const Turn&) = delete;
    Turn& operator=(const Turn&) = delete;

private:
    void step() { order_.fetch_add(1, std::memory_order_acq_rel); }
    std::atomic<unsigned>& order_;
};

}  // namespace

void record_lines_in_order(OpeningIndex& index, std::span<const std::vector<OpeningStep>> lines) {
    const std::size_t count = lines.size();
    if (count > 0) index.prefetch_line(lines[0]);
    if (count > 1) index.prefetch_line(lines[1]);
    if (count > 0) index.prefetch_line_nodes(lines[0]);
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 2 < count) index.prefetch_line(lines[i + 2]);
        if (i + 1 < count) index.prefetch_line_nodes(lines[i + 1]);
        index.record_line(lines[i]);
    }
}

void build_index_in_parallel(PgnFile& games, std::uint32_t depth, unsigned threads,
                             const AttackTables& tables, OpeningIndex& index, RunCounters& counters,
                             const std::function<void()>& progress, IndexSpills* spills) {
    // A batch per thread, and one for each serial stage to hold while the threads play.
    const std::size_t tokens = std::size_t(threads) + 2;
    std::vector<std::unique_ptr<Batch>> batches;
    // The serial first and last stages may run at once on two threads: batches return
    // through a concurrent queue. A batch is back before its token leaves the pipeline,
    // so a new token always finds one; the fallback only guards against that changing.
    oneapi::tbb::concurrent_queue<Batch*> free_batches;
    for (std::size_t i = 0; i < tokens; ++i) {
        batches.push_back(std::make_unique<Batch>());
        free_batches.push(batches.back().get());
    }
    oneapi::tbb::enumerable_thread_specific<std::unique_ptr<OpeningPlayer>> players(
        [&tables] { return std::make_unique<OpeningPlayer>(tables); });

    std::atomic<unsigned> order{0};
    bool first = true;
    bool exhausted = false;
    auto cut = [&](oneapi::tbb::flow_control& control) -> Batch* {
        const Turn turn(order);
        Batch* batch = nullptr;
        if (!free_batches.try_pop(batch)) {
            batches.push_back(std::make_unique<Batch>());
            batch = batches.back().get();
        }
        // A batch that once held a huge game gives its memory back.
        if (batch->texts.capacity() > 4 * batch_bytes) std::string().swap(batch->texts);
        batch->texts.clear();
        batch->texts.reserve(batch_room);
        batch->ends.clear();
        while (!exhausted && batch->ends.size() < batch_games &&
               batch->texts.size() < batch_bytes) {
            const std::string& text = first ? games.read_first_game() : games.read_next_game();
            first = false;
            if (text.empty()) {
                exhausted = true;
            } else {
                stop_if_interrupted();
                batch->texts += text;
                batch->ends.push_back(batch->texts.size());
            }
        }
        if (batch->ends.empty()) {
            free_batches.push(batch);
            control.stop();
            return nullptr;
        }
        return batch;
    };
    auto play = [&](Batch* batch) -> Batch* {
        const Turn turn(order);
        OpeningPlayer& player = *players.local();
        for (std::size_t i = 0; i < batch->ends.size(); ++i)
            batch->outcomes[i] = player.play_game(batch->text(i), depth, batch->lines[i]);
        return batch;
    };
    auto record = [&](Batch* batch) {
        const Turn turn(order);
        const auto lines = std::span(batch->lines).first(batch->ends.size());
        if (spills) spills->make_room(index, lines, counters);
        record_lines_in_order(index, lines);
        // Counted here, in file order, as the single-threaded loop counts them.
        for (std::size_t i = 0; i < batch->ends.size(); ++i) {
            counters.count_game(batch->outcomes[i]);
            if (is_progress_point(counters.games_read) && progress) progress();
        }
        free_batches.push(batch);
    };

    using oneapi::tbb::filter_mode;
    using oneapi::tbb::make_filter;
    // The process may use as many threads as asked for, also beyond the processor count.
    oneapi::tbb::global_control parallelism(oneapi::tbb::global_control::max_allowed_parallelism,
                                            threads);
    check_threads_can_start(threads - 1, oneapi::tbb::global_control::active_value(
                                             oneapi::tbb::global_control::thread_stack_size));
    oneapi::tbb::task_arena arena(static_cast<int>(threads));
    const Turn turn(order);  // before and after the pipeline, for the calling thread
    arena.execute([&] {
        oneapi::tbb::parallel_pipeline(
            tokens, make_filter<void, Batch*>(filter_mode::serial_in_order, cut) &
                        make_filter<Batch*, Batch*>(filter_mode::parallel, play) &
                        make_filter<Batch*, void>(filter_mode::serial_in_order, record));
    });
}

}  // namespace vorline
