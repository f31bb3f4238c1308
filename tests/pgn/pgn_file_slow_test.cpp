// Cutting real files into game texts.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "pgn/pgn_file.h"
#include "support/reference_data.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

// A fingerprint of the non-empty lines, in order, carriage returns at line ends dropped,
// and a count of the tag sections (runs of lines that begin with "["), and of those that
// follow a movetext line: the tags of a game run into the text of the game before.
struct Lines {
    std::uint64_t count = 0, hash = 0xcbf29ce484222325ULL;
    std::size_t sections = 0, sections_after_movetext = 0;
    bool in_tags = false, movetext = false;
    void add_line(std::string_view line) {
        while (line.ends_with('\r')) line.remove_suffix(1);
        const bool tag = line.starts_with('[');
        if (tag && !in_tags) ++sections, sections_after_movetext += movetext;
        if (!tag && !line.empty() && !line.starts_with('%')) movetext = true;
        in_tags = tag;
        if (line.empty()) return;
        ++count;
        for (const char c : line) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        hash = (hash ^ '\n') * 0x100000001b3ULL;
    }
};

// Every non-empty line of a real file lands in exactly one game text, in order, with the
// large buffer and with a small one that splits lines at many block boundaries; every tag
// section of the file begins a game text of its own.
TEST(PgnFileRealData, NoLineIsLostAndEveryGameHasItsText) {
    const std::vector<std::string> files = reference_game_files();
    if (files.empty()) GTEST_SKIP() << "reference data absent";
    for (const fs::path path : files) {
        SCOPED_TRACE(path.filename().string());
        Lines in_file;
        std::ifstream in(path, std::ios::binary);
        // Cutting drops a byte-order mark that begins the first line.
        for (std::string line; std::getline(in, line);)
            in_file.add_line(std::string_view(line).substr(
                in_file.count == 0 && line.starts_with("\xEF\xBB\xBF") ? 3 : 0));
        for (const std::size_t buffer_size : {PgnFile::default_buffer_size, std::size_t{4093}}) {
            PgnFile file(buffer_size);
            file.open_read(path.string());
            Lines in_texts;
            for (const std::string* text = &file.read_first_game(); !text->empty();
                 text = &file.read_next_game()) {
                ASSERT_TRUE(text->back() == '\n' && text->front() != '\n') << *text;
                in_texts.in_tags = in_texts.movetext = false;
                for (std::size_t start = 0, end; start < text->size(); start = end + 1) {
                    end = text->find('\n', start);
                    in_texts.add_line(std::string_view(*text).substr(start, end - start));
                }
            }
            EXPECT_EQ(in_texts.count, in_file.count) << buffer_size;
            EXPECT_EQ(in_texts.hash, in_file.hash) << buffer_size;
            EXPECT_EQ(in_texts.sections, in_file.sections) << buffer_size;
            EXPECT_EQ(in_texts.sections_after_movetext, 0u) << buffer_size;
        }
    }
}

}  // namespace

}  // namespace vorline
