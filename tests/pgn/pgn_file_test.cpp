#include "pgn/pgn_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vorline {

namespace {

using Texts = std::vector<std::string>;

Texts cut_all(PgnFile& file) {
    Texts texts;
    for (std::string text = file.read_first_game(); !text.empty(); text = file.read_next_game())
        texts.push_back(text);
    return texts;
}

class PgnFileTest : public ::testing::Test {
protected:
    Texts cut(std::string_view contents, std::size_t buffer_size = PgnFile::default_buffer_size) {
        dir.write("in.pgn", contents);
        PgnFile file(buffer_size);
        file.open_read(dir.file("in.pgn"));
        return cut_all(file);
    }
    TempDir dir;
};

const std::string game_a = "[Event \"A\"]\n[Site \"?\"]\n\n1. e4 e5 2. Nf3 *\n\n";
const std::string game_b = "[Event \"B\"]\n\n1. d4 {a comment} d5 (1... Nf6) 1-0\n\n";
const std::string game_c = "[Event \"C\"]\n\n1. c4 1/2-1/2\n\n";

TEST_F(PgnFileTest, GamesInOrderThenEmptyTextsAndRewind) {
    // The first game ends at the tag line of the second, which is held over.
    const std::string short_a = "[Event \"A\"]\n1. e4 *\n";
    dir.write("in.pgn", short_a + game_b + game_c);
    PgnFile file;
    file.open_read(dir.file("in.pgn"));
    EXPECT_EQ(cut_all(file), (Texts{short_a, game_b, game_c}));
    EXPECT_EQ(file.read_next_game(), "") << "the end stays the end";
    EXPECT_EQ(file.read_first_game(), short_a) << "rewinds after the end";
    EXPECT_EQ(file.read_next_game(), game_b);
    EXPECT_EQ(file.read_first_game(), short_a) << "and in the middle of the file";
    EXPECT_EQ(file.read_first_game(), short_a) << "the held-over tag line is dropped";
    file.close_read();
    EXPECT_FALSE(file.is_reading());
    EXPECT_EQ(file.read_next_game(), "");
}

// Where one game text ends and the next begins; each case is also cut with buffers of
// 1 to 9 bytes, so that every line break, mark and brace falls on a block boundary.
TEST_F(PgnFileTest, GameTextBoundaries) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string comment_game =
        "[Event \"A\"]\n\n1. e4 {a comment\n\nover empty lines\n\n} e5 {x} {y\n\n}\n2. Nf3 *\n\n";
    const struct {
        const char* why;
        std::string contents;
        Texts expected;
    } rows[] = {
        {"leading empty lines, byte order mark of the first game only",
         "\n\r\n\n" + bom + game_a + "\n\n\n" + bom + game_b,
         {game_a, bom + game_b}},
        {"CR LF line ends",
         "[Event \"A\"]\r\n[Site \"?\"]\r\n\r\n1. e4 e5 2. Nf3 *\r\n\r\n",
         {game_a}},
        {"empty lines inside brace comments", comment_game + game_b, {comment_game, game_b}},
        {"a tag line after movetext begins the next text",
         "[Event \"A\"]\n1. e4 *\r\n%x\n[Event \"B\"]\n[Site \"{\"]\n\n1. d4 *\n[Event \"C\"]",
         {"[Event \"A\"]\n1. e4 *\n%x\n", "[Event \"B\"]\n[Site \"{\"]\n\n1. d4 *\n",
          "[Event \"C\"]\n"}},
        {"spaces and tabs are not an empty line",
         "[Event \"A\"]\n \t\n1. e4 *\n\n\n",
         {"[Event \"A\"]\n \t\n1. e4 *\n\n\n"}},
        {"last line without a line break",
         game_a + "[Event \"B\"]\n\n1. d4 *",
         {game_a, "[Event \"B\"]\n\n1. d4 *\n"}},
        {"unclosed comment at the end",
         "[Event \"A\"]\n\n1. e4 {open comment",
         {"[Event \"A\"]\n\n1. e4 {open comment\n"}},
        {"two empty lines right after the tags end a text",
         "[Event \"A\"]\n\n\n1. e4 e5 *\n\n[Event \"B\"]\n\n1. d4 *\n",
         {"[Event \"A\"]\n\n\n", "1. e4 e5 *\n\n", "[Event \"B\"]\n\n1. d4 *\n"}},
        {"lines that begin with \"[\" inside a comment",
         "[Event \"A\"]\n\n1. e4 {long\n[%clk 0:01:00]} e5 {\n[Event \"x\"]\n} *\n\n" + game_b,
         {"[Event \"A\"]\n\n1. e4 {long\n[%clk 0:01:00]} e5 {\n[Event \"x\"]\n} *\n\n", game_b}},
        {"escape lines are no movetext",
         "[Event \"A\"]\n% note\n[Site \"S\"]\n\n1. e4 *\n% note\n" + game_c,
         {"[Event \"A\"]\n% note\n[Site \"S\"]\n\n1. e4 *\n% note\n", game_c}},
        {"a line of spaces is movetext",
         "[Event \"A\"]\n   \n" + game_c,
         {"[Event \"A\"]\n   \n", game_c}},
        {"files of both line ends joined with cat",
         "[Event \"A\"]\n\n1. e4 *\n[Event \"B\"]\r\n[FEN \"8/8 w\"]\r\n\r\n1. d4 *\r\n" + game_c,
         {"[Event \"A\"]\n\n1. e4 *\n", "[Event \"B\"]\n[FEN \"8/8 w\"]\n\n1. d4 *\n", game_c}},
        {"empty file", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(cut(row.contents), row.expected);
        for (std::size_t size = 1; size <= 9; ++size)
            EXPECT_EQ(cut(row.contents, size), row.expected) << size;
    }
}

}  // namespace

}  // namespace vorline
