#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "pgn/pgn_file.h"
#include "support/line_digest.h"

namespace {

// The 100 MB benchmark file: every non-empty line lands in exactly one game text, in order,
// with the large buffer and with a small one that splits lines at many block boundaries.
TEST(PgnFileBenchFile, NoLineIsLost) {
    const std::string path = std::string(VORLINE_DATA_DIR) + "/games/bench.pgn";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "reference data absent";
    const LineDigest expected = digest_of_file(path);
    for (const std::size_t buffer_size : {PgnFile::default_buffer_size, std::size_t{4093}}) {
        PgnFile file(buffer_size);
        file.open_read(path);
        LineDigest from_texts;
        std::size_t texts = 0;
        for (const std::string* text = &file.read_first_game(); !text->empty();
             text = &file.read_next_game()) {
            from_texts.add_text(*text);
            ++texts;
        }
        EXPECT_EQ(from_texts, expected) << buffer_size;
        EXPECT_GT(texts, 100000u);
    }
}

}  // namespace
