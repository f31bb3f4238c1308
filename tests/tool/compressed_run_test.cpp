// Runs the real vorline executable on compressed inputs made by the usual command-line tools.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

ProcessResult shell(const std::string& command, const fs::path& directory) {
    // The executable is $0, so that its path needs no quoting inside the command.
    return run_process("/bin/sh", {"-c", command, VORLINE_EXE}, directory.string());
}

// The shipped example, given plain, then with both files compressed under their own names
// and the games through a pipe, gives the same outputs; a damaged compressed file fails.
TEST(CompressedRun, CompressedInputsGiveThePlainOutputsAndDamagedOnesAnError) {
    TempDir dir;
    const fs::path examples = fs::path(VORLINE_TEST_DIR) / ".." / "examples";
    fs::copy_file(examples / "games.pgn", dir.path() / "games.pgn");
    fs::copy_file(examples / "positions.epd", dir.path() / "positions.epd");
    ASSERT_EQ(shell("\"$0\" -p games.pgn -e positions.epd", dir.path()).exit_status, 0);
    const std::string found = dir.read("positions.pgn"), failed = dir.read("failed.epd");
    ASSERT_FALSE(found.empty());

    for (const std::string tool : {"zstd", "gzip", "bzip2", "xz"}) {
        SCOPED_TRACE(tool);
        const fs::path run = dir.path() / tool;
        fs::create_directory(run);
        const ProcessResult packed =
            shell(tool + " -c ../games.pgn > games.pgn && " + tool +
                      " -c ../positions.epd > positions.epd && cat games.pgn games.pgn > twice",
                  run);
        ASSERT_EQ(packed.exit_status, 0) << packed.err;  // .ci/run installs the tools
        const ProcessResult result =
            shell("cat games.pgn | \"$0\" -p /dev/stdin -e positions.epd", run);
        EXPECT_EQ(result.out, "reading /dev/stdin ...\nwriting positions.pgn ...\nFinished!\n");
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(dir.read(tool + "/positions.pgn"), found);
        EXPECT_EQ(dir.read(tool + "/failed.epd"), failed);

        // Two streams cut short in the second: the run fails as on any read error.
        fs::resize_file(run / "twice", fs::file_size(run / "twice") - 9);
        const ProcessResult bad_games = shell("\"$0\" -p twice -e positions.epd", run);
        EXPECT_EQ(bad_games.exit_status, 255);
        EXPECT_EQ(bad_games.out, "reading twice ...\nError while reading twice\n");
        const ProcessResult bad_positions = shell("\"$0\" -p ../games.pgn -e twice", run);
        EXPECT_EQ(bad_positions.exit_status, 255);
        EXPECT_EQ(
            bad_positions.out,
            "reading ../games.pgn ...\nwriting openings.pgn ...\nError while reading twice\n");
    }
}

}  // namespace

}  // namespace vorline
