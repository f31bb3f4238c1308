#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "pgn/game.h"
#include "pgn/pgn_file.h"
#include "support/line_digest.h"

namespace {

// Counts tag sections: runs of lines that begin with "[".
struct TagSections {
    std::size_t count = 0;
    bool in_tags = false;
    void add_line(std::string_view line) {
        const bool tag = line.starts_with('[');
        if (tag && !in_tags) ++count;
        in_tags = tag;
    }
};

std::size_t tag_sections(std::string_view text) {
    TagSections sections;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        sections.add_line(text.substr(start, end - start));
        start = end + 1;
    }
    return sections.count;
}

// The 100 MB benchmark file: every non-empty line lands in exactly one game text, in order,
// with the large buffer and with a small one that splits lines at many block boundaries;
// every tag section of the file begins a game text of its own.
TEST(PgnFileBenchFile, NoLineIsLostAndEveryGameHasItsText) {
    const std::string path = std::string(VORLINE_DATA_DIR) + "/games/bench.pgn";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "reference data absent";
    const LineDigest expected = digest_of_file(path);
    TagSections in_file;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) in_file.add_line(line);
    ASSERT_GT(in_file.count, 100000u);

    for (const std::size_t buffer_size : {PgnFile::default_buffer_size, std::size_t{4093}}) {
        PgnFile file(buffer_size);
        file.open_read(path);
        LineDigest from_texts;
        std::size_t games = 0;
        std::size_t shared_texts = 0;
        for (const std::string* text = &file.read_first_game(); !text->empty();
             text = &file.read_next_game()) {
            from_texts.add_text(*text);
            const std::size_t sections = tag_sections(*text);
            games += sections;
            if (sections > 1 || (sections == 1 && !text->starts_with('['))) ++shared_texts;
        }
        EXPECT_EQ(from_texts, expected) << buffer_size;
        EXPECT_EQ(games, in_file.count) << buffer_size;
        EXPECT_EQ(shared_texts, 0u) << "texts that hold the tags of a game below another";
    }
}

// An opening-line collection without empty lines: one tag line and one line of play per
// game. Each line of play is a game of its own, played to its end.
TEST(PgnFileSamples, OpeningLinesAreOneGameEach) {
    const std::string path = std::string(VORLINE_DATA_DIR) + "/games/samples/benoni.pgn";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "reference data absent";
    PgnFile file;
    file.open_read(path);
    Game game;
    std::size_t games = 0;
    for (const std::string* text = &file.read_first_game(); !text->empty();
         text = &file.read_next_game()) {
        ++games;
        const std::size_t line_break = text->find('\n');
        const std::string_view play = std::string_view(*text).substr(line_break + 1);
        ASSERT_TRUE(text->starts_with('[') && play.find('[') == std::string_view::npos) << *text;
        std::size_t written = 0;  // the moves on the line: words without a dot, bar the "*"
        for (std::size_t start = 0; start < play.size();) {
            const std::size_t end = std::min(play.find_first_of(" \n", start), play.size());
            const std::string_view word = play.substr(start, end - start);
            if (!word.empty() && word != "*" && word.find('.') == std::string_view::npos) ++written;
            start = end + 1;
        }
        game.read_pgn(*text);
        std::size_t played = 0;
        while (game.step_forward() == Game::Step::move_played) ++played;
        EXPECT_EQ(played, written) << *text;
    }
    EXPECT_EQ(games, 1708u);
}

}  // namespace
