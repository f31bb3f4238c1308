// Saved indexes: built with -w, answered with -i (one or several), merged, and the first
// phase spilled within -m, all answering byte for byte as the direct run does; damaged
// index files named with what is wrong; failed and interrupted builds that leave nothing.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "checks/random_games.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/index_file_format.h"
#include "tool/tool_run.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

// Games that reach one position by two move orders, within a file and across files, and
// one that returns to the initial position.
const std::string transpositions_a =
    "[Event \"A1\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 *\n\n"
    "[Event \"A2\"]\n\n1. Nf3 Nc6 2. e4 e5 3. Bc4 *\n\n";
const std::string transpositions_b =
    "[Event \"B1\"]\n\n1. Nf3 Nf6 2. Ng1 Ng8 3. d4 d5 *\n\n"
    "[Event \"B2\"]\n\n1. c4 e6 2. d4 d5 *\n\n";
const std::string transpositions_c =
    "[Event \"C1\"]\n\n1. d4 d5 2. c4 e6 3. Nc3 *\n\n"
    "[Event \"C2\"]\n\n1. e4 c5 2. Nf3 Nc6 *\n\n";

class IndexFiles : public ToolRun {
protected:
    void SetUp() override {
        // Hundreds of random games per file, so that -m can spill many times; the EPD lines
        // are positions of all of them, and some that none reaches.
        std::string epd;
        RandomGames random(7);
        const std::string parts[3] = {
            transpositions_a + random.games(300, 14, &epd) + transpositions_a,
            transpositions_b + random.games(300, 14, &epd),
            transpositions_c + random.games(300, 14, &epd) + transpositions_b};
        RandomGames others(8);
        others.games(20, 14, &epd);
        epd += "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\n";
        epd += "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - id \"start\";\n";
        epd += "not a position\n";
        dir.write("a.pgn", parts[0]);
        dir.write("b.pgn", parts[1]);
        dir.write("c.pgn", parts[2]);
        dir.write("all.pgn", parts[0] + parts[1] + parts[2]);
        dir.write("pos.epd", epd);
    }
    void expect_runs(const std::vector<std::string>& arguments) const {
        const ProcessResult result = vorline(arguments);
        EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
        EXPECT_TRUE(result.out.ends_with("Finished!\n")) << result.out;
    }
    // Answers pos.epd with the arguments into a fresh output; its games and failed lines.
    std::string answer(std::vector<std::string> arguments) const {
        fs::remove(dir.file("out.pgn"));
        for (const char* more : {"-e", "pos.epd", "-o", "out.pgn"}) arguments.push_back(more);
        expect_runs(arguments);
        return dir.read("out.pgn") + "--- failed.epd\n" + dir.read("failed.epd");
    }
    // What a failed run leaves: its message last, no output game. A fault found while the
    // lines are answered leaves failed.epd as any failed run does, incomplete.
    void expect_refused(const ProcessResult& result, const std::string& message) const {
        EXPECT_EQ(result.exit_status, failed) << result.out << result.err;
        EXPECT_TRUE(result.out.ends_with(message + "\n")) << result.out;
        EXPECT_EQ(result.out.find("Finished!"), std::string::npos);
        EXPECT_EQ(dir.read("out.pgn"), "");
        fs::remove(dir.file("out.pgn"));
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(IndexFiles, EveryWayOfBuildingAnswersAsTheDirectRun) {
    for (const std::string threads : {"1", "2"}) {
        SCOPED_TRACE("-t " + threads);
        const std::string direct = answer({"-p", "all.pgn", "-t", threads});
        EXPECT_NE(direct.find("[Event"), std::string::npos);
        EXPECT_NE(direct.find("not a position"), std::string::npos);

        expect_runs({"-p", "all.pgn", "-w", "all.idx", "-t", threads});
        EXPECT_EQ(answer({"-i", "all.idx"}), direct);
        for (const std::string part : {"a", "b", "c"})
            expect_runs({"-p", part + ".pgn", "-w", part + ".idx", "-t", threads});
        EXPECT_EQ(answer({"-i", "a.idx", "-i", "b.idx", "-i", "c.idx"}), direct);
        expect_runs({"-i", "a.idx", "-i", "b.idx", "-i", "c.idx", "-w", "abc.idx"});
        EXPECT_EQ(answer({"-i", "abc.idx"}), direct);
        // Merged, the parts make the very index of the whole; only the header's counts and
        // name differ.
        EXPECT_TRUE(dir.read("abc.idx").substr(index_block_size) ==
                    dir.read("all.idx").substr(index_block_size));

        // A budget of one position spills before every batch of 64 games: 14 spills.
        EXPECT_EQ(answer({"-p", "all.pgn", "-m", "1b", "-t", threads}), direct);
        expect_runs({"-p", "all.pgn", "-m", "1b", "-w", "spilled.idx", "-t", threads});
        EXPECT_TRUE(dir.read("spilled.idx").substr(index_block_size) ==
                    dir.read("all.idx").substr(index_block_size));
        // Building, saving and answering in one run.
        EXPECT_EQ(answer({"-p", "all.pgn", "-w", "again.idx", "-t", threads}), direct);
        EXPECT_TRUE(dir.read("again.idx") == dir.read("all.idx"));
    }
    // A saved index answers the lines of its own depth.
    expect_runs({"-p", "all.pgn", "-d", "3", "-w", "short.idx"});
    EXPECT_EQ(answer({"-i", "short.idx"}), answer({"-p", "all.pgn", "-d", "3"}));
    EXPECT_EQ(answer({"-i", "short.idx", "-d", "3"}), answer({"-p", "all.pgn", "-d", "3"}));
}

TEST_F(IndexFiles, DamagedFilesAreNamedWithWhatIsWrong) {
    expect_runs({"-p", "all.pgn", "-w", "all.idx"});
    const std::string good = dir.read("all.idx");
    ASSERT_GT(good.size(), sizeof(IndexHeader));
    IndexHeader header;
    std::memcpy(&header, good.data(), sizeof header);
    auto changed = [&](std::size_t at) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
        return bytes;
    };
    std::string newer = good;
    newer[offsetof(IndexHeader, format_version)] = index_format_version + 1;
    const std::string keys_at = std::to_string(header.keys_offset);
    const std::string links_at = std::to_string(header.links_offset);
    const struct {
        std::string bytes;
        std::string what;
    } cases[] = {
        {good.substr(0, good.size() - 1), "truncated"},
        {good.substr(0, 100), "truncated"},
        {"", "not an index file of vorline"},
        {dir.read("a.pgn"), "not an index file of vorline"},
        {good + "x", "corrupted (bytes beyond its end)"},
        {newer, "made by a newer version of vorline (index format 2)"},
        {changed(offsetof(IndexHeader, positions)), "corrupted (its header)"},
        {changed(offsetof(IndexHeader, input_name)), "corrupted (its header)"},
        {changed(header.keys_offset + 5), "corrupted (the keys block at byte " + keys_at + ")"},
        {changed(header.links_offset + 9), "corrupted (the links block at byte " + links_at + ")"},
        // A checksum that does not match fails the block it belongs to.
        {changed(header.checksums_offset), "corrupted (the keys block at byte " + keys_at + ")"},
    };
    for (const auto& [bytes, what] : cases) {
        SCOPED_TRACE(what);
        dir.write("bad.idx", bytes);
        expect_refused(vorline({"-i", "bad.idx", "-e", "pos.epd", "-o", "out.pgn"}),
                       "Problem with index file bad.idx: " + what);
        EXPECT_TRUE(dir.read("bad.idx") == bytes);
    }
    // Merging reads the checksums whole.
    dir.write("bad.idx", changed(header.checksums_offset + 8));
    expect_refused(vorline({"-i", "all.idx", "-i", "bad.idx", "-w", "merged.idx"}),
                   "Problem with index file bad.idx: corrupted (the checksums block)");
    expect_refused(vorline({"-i", "nowhere.idx", "-e", "pos.epd", "-o", "out.pgn"}),
                   "Problem with index file nowhere.idx: cannot be read");
    EXPECT_FALSE(dir.exists("merged.idx"));
}

TEST_F(IndexFiles, DepthsMustAgreeAndInputsStayInputs) {
    expect_runs({"-p", "a.pgn", "-d", "12", "-w", "a12.idx"});
    expect_runs({"-p", "b.pgn", "-w", "b24.idx"});
    expect_refused(vorline({"-i", "a12.idx", "-d", "24", "-e", "pos.epd", "-o", "out.pgn"}),
                   "Problem with index file a12.idx: depth 12, not 24 as -d asks");
    expect_refused(vorline({"-i", "b24.idx", "-i", "a12.idx", "-w", "ab.idx"}),
                   "Problem with index file a12.idx: depth 12, not 24 as the index before it");
    EXPECT_FALSE(dir.exists("ab.idx"));

    const ProcessResult both = vorline({"-p", "a.pgn", "-i", "b24.idx", "-e", "pos.epd"});
    EXPECT_EQ(both.exit_status, failed);
    EXPECT_NE(both.err.find("Options -p and -i cannot be used together"), std::string::npos);
    for (const std::string size : {"", "12X", "M", "99999999999999999999G"}) {
        const ProcessResult result = vorline({"-p", "a.pgn", "-e", "pos.epd", "-m", size});
        EXPECT_EQ(result.exit_status, failed) << size;
        EXPECT_NE(result.err.find("Bad memory size after -m"), std::string::npos) << size;
    }
    // The games file is never replaced by an index.
    expect_refused(vorline({"-p", "a.pgn", "-w", "a.pgn"}), "Output file is an input file: a.pgn");
    EXPECT_EQ(dir.read("a.pgn").substr(0, 12), "[Event \"A1\"]");
}

TEST_F(IndexFiles, FailedAndInterruptedBuildsLeaveNothingBehind) {
    dir.write("old.idx", "an older file");
    fs::create_directory(dir.file("spills"));
    const std::vector<std::string> before = files();

    // A full disk, while saving and while spilling.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-p", "all.pgn", "-w", "old.idx"},
          {"-p", "all.pgn", "-m", "1b", "-T", "spills", "-w", "old.idx"}}) {
        const ProcessResult result = vorline(arguments, {.file_size_limit = 8192});
        EXPECT_EQ(result.exit_status, failed) << result.out;
        EXPECT_TRUE(result.out.find("Error while writing ") != std::string::npos) << result.out;
        EXPECT_TRUE(dir.read("old.idx") == "an older file");
        EXPECT_EQ(files(), before);
        EXPECT_TRUE(fs::is_empty(dir.file("spills")));
    }

    // Interrupted while the index is written (writes crawl): the temporary file goes.
    std::string many = dir.read("all.pgn");
    RandomGames random(9);
    many += random.games(3000, 16);
    dir.write("many.pgn", many);
    const std::vector<std::string> with_many = files();
    ProcessOptions slow_writes;
    slow_writes.environment = {std::string("LD_PRELOAD=") + VORLINE_TROUBLED_READS,
                               "VORLINE_SLOW_WRITES=1"};
    {
        Process run = start({"-p", "many.pgn", "-w", "old.idx"}, slow_writes);
        // Wait until the temporary file beside old.idx has its first bytes.
        bool writing = false;
        for (int i = 0; i < 1000 && !writing; ++i) {
            for (const std::string& name : files())
                if (name.starts_with("old.idx.") && fs::file_size(dir.file(name)) > 0)
                    writing = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(writing);
        run.send(SIGINT);
        const ProcessResult result = run.wait();
        EXPECT_EQ(result.exit_status, 128 + SIGINT) << result.out;
        EXPECT_TRUE(result.out.ends_with("Interrupted\n")) << result.out;
    }
    EXPECT_TRUE(dir.read("old.idx") == "an older file");
    EXPECT_EQ(files(), with_many);
    // Interrupted while spilling: most of the run is spent writing spills.
    {
        Process run =
            start({"-p", "many.pgn", "-m", "1b", "-T", "spills", "-w", "new.idx"}, slow_writes);
        EXPECT_TRUE(run.wait_for_output("reading"));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        run.send(SIGINT);
        const ProcessResult result = run.wait();
        EXPECT_EQ(result.exit_status, 128 + SIGINT) << result.out;
        EXPECT_TRUE(result.out.ends_with("Interrupted\n")) << result.out;
    }
    EXPECT_EQ(files(), with_many);
    EXPECT_TRUE(fs::is_empty(dir.file("spills")));
}

}  // namespace

}  // namespace vorline
