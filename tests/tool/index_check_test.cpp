// Checking saved indexes whole: "-i" without "-e" or "-w" reads every block of every file
// given against its checksum, and names the first file and block that fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "checks/random_games.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/index_file_format.h"
#include "tool/tool_run.h"

namespace vorline {

namespace {

class IndexCheck : public ::testing::Test {
protected:
    ProcessResult vorline(const std::vector<std::string>& arguments) const {
        ProcessOptions options;
        const char* asan = std::getenv("ASAN_OPTIONS");
        options.environment.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
                                      ":verify_asan_link_order=0");
        return Process(VORLINE_EXE, arguments, dir.path().string(), options).wait();
    }
    TempDir dir;
};

TEST_F(IndexCheck, EveryBlockOfEveryFileIsChecked) {
    RandomGames random(11);
    dir.write("games.pgn", random.games(2000, 20, nullptr));
    ProcessResult built = vorline({"-p", "games.pgn", "-w", "good.idx"});
    ASSERT_EQ(built.exit_status, 0) << built.out;
    const std::string good = dir.read("good.idx");
    IndexHeader header;
    std::memcpy(&header, good.data(), sizeof header);
    ASSERT_GT(header.checksums_offset - header.links_offset, 2 * index_block_size);

    const ProcessResult checked = vorline({"-i", "good.idx", "-i", "good.idx"});
    EXPECT_EQ(checked.exit_status, 0) << checked.out << checked.err;
    EXPECT_EQ(checked.out, "reading good.idx ...\nreading good.idx ...\nFinished!\n");
    EXPECT_EQ(checked.err, "");

    // A fault in the last block of links, which answering a few lines would never read,
    // and one in the checksums themselves.
    const std::uint64_t last_block = header.checksums_offset - index_block_size;
    const struct {
        std::uint64_t at;
        std::string what;
    } faults[] = {
        {last_block + 3, "corrupted (the links block at byte " + std::to_string(last_block) + ")"},
        {header.checksums_offset + 16, "corrupted (the checksums block)"},
    };
    for (const auto& [at, what] : faults) {
        SCOPED_TRACE(what);
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
        dir.write("bad.idx", bytes);
        const ProcessResult refused = vorline({"-i", "good.idx", "-i", "bad.idx"});
        EXPECT_EQ(refused.exit_status, failed);
        EXPECT_TRUE(refused.out.ends_with("Problem with index file bad.idx: " + what + "\n"))
            << refused.out;
        EXPECT_EQ(refused.out.find("Finished!"), std::string::npos);
        EXPECT_TRUE(dir.read("bad.idx") == bytes);
    }
    // Games without an EPD file or an index to write are still a usage error.
    EXPECT_EQ(vorline({"-p", "games.pgn"}).exit_status, failed);
}

}  // namespace

}  // namespace vorline
