// A run is all or nothing: it prints "Finished!" with the output and failed.epd complete, or
// every file is as it was before it, also after a run that ended abruptly (SIGKILL), under
// limits of the process, signals and outputs that are not plain files. Each case makes it
// happen for real against the built executable.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/tool_run.h"
#include "tool/tool_run_texts.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

const std::string earlier_failed = "8/8/8/8/8/8/k7/K7 w - - id \"an earlier miss\";\n";
constexpr const char* sanitized = "the sanitizer reserves more address space than any limit";

std::string repeated(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}

class AllOrNothing : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("games.pgn", games);
        dir.write("pos.epd", epd_lines(6));
        dir.write("pos.pgn", earlier_output);
        dir.write("failed.epd", earlier_failed);
    }
    Process start(const std::vector<std::string>& arguments, ProcessOptions options = {}) const {
        if (options.time_limit_seconds == 60) options.time_limit_seconds = 20;
        return Process(VORLINE_EXE, arguments, dir.path().string(), options);
    }
    ProcessResult vorline(const std::vector<std::string>& arguments,
                          ProcessOptions options = {}) const {
        return start(arguments, std::move(options)).wait();
    }
    // A shell running `script` in the directory, with the tool's path as $0.
    Process shell(const std::string& script) const {
        return Process("/bin/sh", {"-c", script, VORLINE_EXE}, dir.path().string());
    }
    // A writer that opens the named pipe, writes `file` into it and then keeps it open
    // without writing, until it is ended: a pipe that stalls.
    Process stalled_pipe(const std::string& fifo, const std::string& file) const {
        EXPECT_EQ(mkfifo(dir.file(fifo).c_str(), 0600), 0);
        return shell("exec 3>" + fifo + "; cat " + file + " >&3; exec sleep 30");
    }
    std::set<std::string> file_names() const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    // A run that did not complete: its status and last message, no "Finished!", the output
    // and failed.epd as they were, and no file left behind or made.
    void expect_untouched(const ProcessResult& result, int status, const std::string& last_line,
                          const std::set<std::string>& names_before) const {
        EXPECT_EQ(result.exit_status, status) << result.out << result.err;
        EXPECT_TRUE(result.out.ends_with(last_line + "\n")) << result.out << result.err;
        EXPECT_EQ(result.out.find("Finished!"), std::string::npos);
        EXPECT_EQ(dir.read("pos.pgn"), earlier_output);
        EXPECT_EQ(dir.read("failed.epd"), earlier_failed);
        EXPECT_EQ(file_names(), names_before);
    }
    // A complete run of `lines` lines of epd_lines().
    void expect_finished(const ProcessResult& result, int lines = 6) const {
        EXPECT_EQ(result.exit_status, 0) << result.out << result.err;
        EXPECT_TRUE(result.out.ends_with("Finished!\n")) << result.out;
        EXPECT_EQ(dir.read("pos.pgn"), earlier_output + repeated(found_game, (lines + 1) / 2));
        EXPECT_EQ(dir.read("failed.epd"), repeated(unfound, lines / 2));
    }

    TempDir dir;
};

TEST_F(AllOrNothing, FileSizeLimitFailsTheWriteInsteadOfEndingTheRun) {
    dir.write("pos.epd", epd_lines(4000));
    const std::set<std::string> before = file_names();
    expect_untouched(vorline({"-p", "games.pgn", "-e", "pos.epd"},
                             {.file_size_limit = earlier_output.size() + 1000}),
                     failed, "Error while writing pos.pgn", before);
}

TEST_F(AllOrNothing, OutputThatIsStandardOutputGetsOnlyGames) {
    const ProcessResult result = vorline({"-p", "games.pgn", "-e", "pos.epd", "-o", "/dev/stdout"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, repeated(found_game, 3));
    EXPECT_EQ(result.err, "reading games.pgn ...\nwriting /dev/stdout ...\nFinished!\n");
    EXPECT_EQ(dir.read("failed.epd"), repeated(unfound, 3));

    const ProcessResult piped =
        shell("\"$0\" -p games.pgn -e pos.epd -o /dev/stdout | cat > piped.pgn").wait();
    EXPECT_EQ(piped.exit_status, 0);
    EXPECT_EQ(dir.read("piped.pgn"), repeated(found_game, 3));
    EXPECT_EQ(piped.err, "reading games.pgn ...\nwriting /dev/stdout ...\nFinished!\n");
}

// The first signal ends a run that waits on a pipe that stalls, in the second phase, or on
// a named pipe that no one reads; the files are then as they were.
TEST_F(AllOrNothing, FirstSignalBreaksOffABlockedReadOrOpen) {
    const std::set<std::string> before = file_names();
    for (const int signal : {SIGINT, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(signal);
        Process writer = stalled_pipe("pos.fifo", "pos.epd");
        Process run = start({"-p", "games.pgn", "-e", "pos.fifo", "-o", "pos.pgn"});
        ASSERT_TRUE(run.wait_for_output("writing pos.pgn ...\n"));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        run.send(signal);
        std::set<std::string> names = before;
        names.insert("pos.fifo");
        expect_untouched(run.wait(), 128 + signal, "Interrupted", names);
        fs::remove(dir.path() / "pos.fifo");
    }

    // A compressed pipe is read by the decoder's thread, which the signal does not reach.
    {
        ASSERT_EQ(shell("gzip -c pos.epd > pos.gz").wait().exit_status, 0);
        std::set<std::string> names = file_names();
        names.insert("pos.fifo");
        Process writer = stalled_pipe("pos.fifo", "pos.gz");
        Process run = start({"-p", "games.pgn", "-e", "pos.fifo", "-o", "pos.pgn"});
        ASSERT_TRUE(run.wait_for_output("writing pos.pgn ...\n"));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        run.send(SIGINT);
        expect_untouched(run.wait(), 128 + SIGINT, "Interrupted", names);
    }

    ASSERT_EQ(mkfifo(dir.file("out.fifo").c_str(), 0600), 0);
    Process run = start({"-p", "games.pgn", "-e", "pos.epd", "-o", "out.fifo"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.send(SIGTERM);
    const ProcessResult result = run.wait();
    EXPECT_EQ(result.exit_status, 128 + SIGTERM);
    EXPECT_EQ(result.out, "reading games.pgn ...\nInterrupted\n");
    EXPECT_EQ(dir.read("failed.epd"), earlier_failed);
}

TEST_F(AllOrNothing, ReadErrorInTheSecondPhaseLeavesFailedEpdAsItWas) {
    dir.write("pos.epd", epd_lines(20000));
    const std::set<std::string> before = file_names();
    // The preloaded library comes before the sanitizer's runtime.
    const char* asan = std::getenv("ASAN_OPTIONS");
    ProcessOptions options;
    options.environment = {
        std::string("LD_PRELOAD=") + VORLINE_TROUBLED_READS,
        "VORLINE_TROUBLED_FILE=" + dir.file("pos.epd"), "VORLINE_FAIL_AFTER=100000",
        std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0"};
    expect_untouched(vorline({"-p", "games.pgn", "-e", "pos.epd"}, options), failed,
                     "Error while reading pos.epd", before);
}

TEST_F(AllOrNothing, ThreadsThatCannotStartEndTheRunWithAMessage) {
    if (VORLINE_SANITIZED) GTEST_SKIP() << sanitized;
    const std::set<std::string> before = file_names();
    // oneTBB's workers: 255 stacks of megabytes each do not fit.
    expect_untouched(
        vorline({"-p", "games.pgn", "-e", "pos.epd", "-t", "256"}, {.memory_limit = 512ul << 20}),
        failed, "Cannot start a thread while indexing games.pgn", before);

    // The decoder's thread: a new thread's stack takes the size of the stack limit.
    ASSERT_EQ(shell("gzip -c pos.epd > pos.epd.gz").wait().exit_status, 0);
    const std::set<std::string> with_gzip = file_names();
    expect_untouched(vorline({"-p", "games.pgn", "-e", "pos.epd.gz", "-o", "pos.pgn", "-t", "1"},
                             {.memory_limit = 512ul << 20, .stack_limit = 1ul << 30}),
                     failed, "Cannot start a thread while answering pos.epd.gz", with_gzip);
}

// SIGKILL in the second phase leaves games appended, a journal and a temporary file; the
// next run on the output restores it first, and ends as if it had run alone.
TEST_F(AllOrNothing, RunAfterAKilledRunRollsItBack) {
    dir.write("pos.txt", epd_lines(6000));  // more games than the output's buffer holds
    Process writer = stalled_pipe("pos.fifo", "pos.txt");
    const std::set<std::string> before = file_names();
    Process killed = start({"-p", "games.pgn", "-e", "pos.fifo", "-o", "pos.pgn", "-t", "1"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (fs::file_size(dir.path() / "pos.pgn") == earlier_output.size() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    killed.send(SIGKILL);
    EXPECT_EQ(killed.wait().exit_status, -1);
    ASSERT_GT(fs::file_size(dir.path() / "pos.pgn"), earlier_output.size());
    EXPECT_EQ(file_names().size(), before.size() + 2);  // the journal and the new failed.epd
    EXPECT_EQ(dir.read("failed.epd"), earlier_failed);

    const ProcessResult next = vorline({"-p", "games.pgn", "-e", "pos.txt", "-o", "pos.pgn"});
    EXPECT_EQ(next.out,
              "Rolled back pos.pgn: a run that ended abruptly had appended to it\n"
              "reading games.pgn ...\nwriting pos.pgn ...\nFinished!\n");
    expect_finished(next, 6000);
    EXPECT_EQ(file_names(), before);
}

TEST_F(AllOrNothing, NewFailedEpdKeepsTheOldModeAndLink) {
    // Also when it answers the old failed.epd.
    dir.write("failed.epd", epd_lines(6));
    fs::permissions(dir.file("failed.epd"), fs::perms(0604));
    expect_finished(vorline({"-p", "games.pgn", "-e", "failed.epd", "-o", "pos.pgn"}));
    EXPECT_EQ(fs::status(dir.file("failed.epd")).permissions(), fs::perms(0604));

    // A new failed.epd takes the mode of the umask.
    fs::remove(dir.path() / "failed.epd");
    dir.write("pos.pgn", earlier_output);
    expect_finished(shell("umask 002; exec \"$0\" -p games.pgn -e pos.epd").wait());
    EXPECT_EQ(fs::status(dir.file("failed.epd")).permissions(), fs::perms(0664));

    // A link keeps leading to the file that holds the new lines.
    fs::create_directory(dir.path() / "kept");
    fs::rename(dir.path() / "failed.epd", dir.path() / "kept" / "misses.epd");
    fs::create_symlink("kept/misses.epd", dir.path() / "failed.epd");
    dir.write("pos.pgn", earlier_output);
    expect_finished(vorline({"-p", "games.pgn", "-e", "pos.epd"}));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "failed.epd"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "kept"), fs::directory_iterator()),
              1);
}

TEST_F(AllOrNothing, RunsShareDevNull) {
    Process writer = stalled_pipe("pos.fifo", "/dev/null");
    Process first = start({"-p", "games.pgn", "-e", "pos.fifo", "-o", "/dev/null"});
    ASSERT_TRUE(first.wait_for_output("writing /dev/null ...\n"));
    fs::create_directory(dir.path() / "sub");
    const ProcessResult second =
        Process(VORLINE_EXE, {"-p", "../games.pgn", "-e", "../pos.epd", "-o", "/dev/null"},
                (dir.path() / "sub").string())
            .wait();
    EXPECT_EQ(second.exit_status, 0);
    EXPECT_EQ(second.out, "reading ../games.pgn ...\nwriting /dev/null ...\nFinished!\n");
    first.send(SIGINT);
    EXPECT_EQ(first.wait().exit_status, 128 + SIGINT);
}

TEST_F(AllOrNothing, FailedRunRemovesTheFilesItCreated) {
    fs::remove(dir.path() / "failed.epd");
    dir.write("games.pgn.gz", std::string("\x1F\x8B\x08\x00", 4) + repeated("garbage", 100));
    const std::set<std::string> before = file_names();
    const ProcessResult result = vorline({"-p", "games.pgn.gz", "-e", "pos.epd", "-o", "new.pgn"});
    EXPECT_EQ(result.exit_status, failed);
    EXPECT_EQ(result.out, "reading games.pgn.gz ...\nError while reading games.pgn.gz\n");
    EXPECT_EQ(file_names(), before);
}

// gzip ignores zero bytes after the last member (tape padding), and so does the run; any
// other byte after them is still an error.
TEST_F(AllOrNothing, ZeroPaddingAfterGzipIsIgnored) {
    ASSERT_EQ(shell("gzip -c pos.epd > padded.gz && head -c 5000 /dev/zero >> padded.gz && "
                    "cp padded.gz bad.gz && printf x >> bad.gz")
                  .wait()
                  .exit_status,
              0);
    expect_finished(vorline({"-p", "games.pgn", "-e", "padded.gz", "-o", "pos.pgn"}));
    dir.write("pos.pgn", earlier_output);
    dir.write("failed.epd", earlier_failed);
    expect_untouched(vorline({"-p", "games.pgn", "-e", "bad.gz", "-o", "pos.pgn"}), failed,
                     "Error while reading bad.gz", file_names());
}

}  // namespace

}  // namespace vorline
