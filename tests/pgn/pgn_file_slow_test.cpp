// Cutting real files into game texts.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/pgn_file.h"
#include "support/line_digest.h"

namespace {

namespace fs = std::filesystem;

// Tag sections (runs of lines that begin with "["), and those of them that follow a
// movetext line: the tags of a game run into the text of the game before.
struct TagSections {
    std::size_t count = 0;
    std::size_t after_movetext = 0;
    bool in_tags = false;
    bool movetext = false;
    void add_line(std::string_view line) {
        const bool tag = line.starts_with('[');
        if (tag && !in_tags) ++count;
        if (tag && !in_tags && movetext) ++after_movetext;
        if (!tag && !line.empty() && !line.starts_with('%')) movetext = true;
        in_tags = tag;
    }
};

// Every non-empty line of a real file lands in exactly one game text, in order, with the
// large buffer and with a small one that splits lines at many block boundaries; every tag
// section of the file begins a game text of its own.
TEST(PgnFileRealData, NoLineIsLostAndEveryGameHasItsText) {
    const fs::path games = fs::path(VORLINE_DATA_DIR) / "games";
    if (!fs::is_directory(games / "samples")) GTEST_SKIP() << "reference data absent";
    std::vector<fs::path> files{games / "bench.pgn"};
    for (const auto& entry : fs::directory_iterator(games / "samples"))
        if (entry.path().extension() == ".pgn") files.push_back(entry.path());
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        TagSections in_file;
        std::ifstream in(path, std::ios::binary);
        for (std::string line; std::getline(in, line);) in_file.add_line(line);
        const LineDigest lines = digest_of_file(path.string());
        for (const std::size_t buffer_size : {PgnFile::default_buffer_size, std::size_t{4093}}) {
            PgnFile file(buffer_size);
            file.open_read(path.string());
            LineDigest from_texts;
            std::size_t sections = 0;
            std::size_t sections_after_movetext = 0;
            for (const std::string* text = &file.read_first_game(); !text->empty();
                 text = &file.read_next_game()) {
                ASSERT_TRUE(text->back() == '\n' && text->front() != '\n') << *text;
                from_texts.add_text(*text);
                TagSections in_text;
                for (std::size_t start = 0; start < text->size();) {
                    const std::size_t end = text->find('\n', start);
                    in_text.add_line(std::string_view(*text).substr(start, end - start));
                    start = end + 1;
                }
                sections += in_text.count;
                sections_after_movetext += in_text.after_movetext;
            }
            EXPECT_EQ(from_texts, lines) << buffer_size;
            EXPECT_EQ(sections, in_file.count) << buffer_size;
            EXPECT_EQ(sections_after_movetext, 0u) << buffer_size;
        }
    }
}

}  // namespace
