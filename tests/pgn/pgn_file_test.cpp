#include "pgn/pgn_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/line_digest.h"
#include "support/temp_dir.h"

namespace {

using Texts = std::vector<std::string>;

Texts cut_all(PgnFile& file) {
    Texts texts;
    for (std::string text = file.read_first_game(); !text.empty(); text = file.read_next_game())
        texts.push_back(text);
    return texts;
}

Texts cut_file(const std::string& path, std::size_t buffer_size = PgnFile::default_buffer_size) {
    PgnFile file(buffer_size);
    file.open_read(path);
    return cut_all(file);
}

class PgnFileTest : public ::testing::Test {
protected:
    Texts cut(std::string_view contents, std::size_t buffer_size = PgnFile::default_buffer_size) {
        dir.write("in.pgn", contents);
        return cut_file(dir.file("in.pgn"), buffer_size);
    }
    TempDir dir;
};

const std::string game_a = "[Event \"A\"]\n[Site \"?\"]\n\n1. e4 e5 2. Nf3 *\n\n";
const std::string game_b = "[Event \"B\"]\n\n1. d4 {a comment} d5 (1... Nf6) 1-0\n\n";
const std::string game_c = "[Event \"C\"]\n\n1. c4 1/2-1/2\n\n";

TEST_F(PgnFileTest, ThreeGamesThenEmptyTexts) {
    dir.write("in.pgn", game_a + game_b + game_c);
    PgnFile file;
    file.open_read(dir.file("in.pgn"));
    EXPECT_TRUE(file.is_reading());
    EXPECT_EQ(file.read_first_game(), game_a);
    EXPECT_EQ(file.read_next_game(), game_b);
    EXPECT_EQ(file.read_next_game(), game_c);
    EXPECT_EQ(file.read_next_game(), "");
    EXPECT_EQ(file.read_next_game(), "") << "the end stays the end";
    file.close_read();
    EXPECT_FALSE(file.is_reading());
    EXPECT_EQ(file.read_next_game(), "");
}

TEST_F(PgnFileTest, ReadFirstGameRewindsAfterTheEnd) {
    dir.write("in.pgn", game_a + game_b);
    PgnFile file;
    file.open_read(dir.file("in.pgn"));
    EXPECT_EQ(cut_all(file), (Texts{game_a, game_b}));
    EXPECT_EQ(file.read_first_game(), game_a);
    EXPECT_EQ(file.read_next_game(), game_b);
    EXPECT_EQ(file.read_first_game(), game_a) << "also in the middle of the file";
}

TEST_F(PgnFileTest, SkipsLeadingEmptyLinesAndRemovesByteOrderMarkOfFirstGameOnly) {
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(cut("\n\r\n\n" + bom + game_a + "\n\n\n" + bom + game_b),
              (Texts{game_a, bom + game_b}));
    // A mark alone on the first line is an empty line after all.
    EXPECT_EQ(cut(bom + "\n" + game_a), (Texts{game_a}));
}

TEST_F(PgnFileTest, CarriageReturnsAtLineEndsAreDropped) {
    EXPECT_EQ(cut("[Event \"A\"]\r\n[Site \"?\"]\r\n\r\n1. e4 e5 2. Nf3 *\r\n\r\n"), (Texts{game_a}));
    EXPECT_EQ(cut("[Event \"A\"]\r\r\n[Site \"?\"]\r\r\n\r\r\n1. e4 e5 2. Nf3 *\r\r\n\r\r\n"),
              (Texts{game_a}));
    // Only carriage returns at the end of a line belong to its break.
    EXPECT_EQ(cut("[Event \"A\r B\"]\n\n1. e4 *\n\n"), (Texts{"[Event \"A\r B\"]\n\n1. e4 *\n\n"}));
}

TEST_F(PgnFileTest, EmptyLinesInsideBraceCommentsDoNotEndTheGame) {
    const std::string game =
        "[Event \"A\"]\n\n1. e4 {a comment\n\nover empty lines\n\n} e5 {x} {y\n\n}\n2. Nf3 *\n\n";
    EXPECT_EQ(cut(game + game_b), (Texts{game, game_b}));
    // Braces count wherever they stand, also in a tag value.
    EXPECT_EQ(cut("[Event \"{\"]\n\n1. e4 *\n\n[Event \"}\"]\n\n"),
              (Texts{"[Event \"{\"]\n\n1. e4 *\n\n[Event \"}\"]\n\n"}));
}

TEST_F(PgnFileTest, BlankCountDecidesWhereTextsEnd) {
    // No empty line at all: one text holding the whole file.
    EXPECT_EQ(cut("[Event \"A\"]\n1. e4 *\n[Event \"B\"]\n1. d4 *\n"),
              (Texts{"[Event \"A\"]\n1. e4 *\n[Event \"B\"]\n1. d4 *\n"}));
    // Without an empty line after its tags a game runs on into the next one.
    EXPECT_EQ(cut("[Event \"A\"]\n1. e4 *\n\n" + game_b),
              (Texts{"[Event \"A\"]\n1. e4 *\n\n[Event \"B\"]\n\n", "1. d4 {a comment} d5 (1... Nf6) 1-0\n\n"}));
    // Two empty lines right after the tags end the text there.
    EXPECT_EQ(cut("[Event \"A\"]\n\n\n1. e4 *\n\n"), (Texts{"[Event \"A\"]\n\n\n", "1. e4 *\n\n"}));
    // A line of spaces and tabs is not empty.
    EXPECT_EQ(cut("[Event \"A\"]\n \t\n1. e4 *\n\n\n"), (Texts{"[Event \"A\"]\n \t\n1. e4 *\n\n\n"}));
}

TEST_F(PgnFileTest, LastLineWithoutLineBreakIsKept) {
    EXPECT_EQ(cut(game_a + "[Event \"B\"]\n\n1. d4 *"), (Texts{game_a, "[Event \"B\"]\n\n1. d4 *\n"}));
    EXPECT_EQ(cut("1. e4 *\r"), (Texts{"1. e4 *\n"}));
    EXPECT_EQ(cut("\n\n1. e4 *"), (Texts{"1. e4 *\n"}));
    EXPECT_EQ(cut("[Event \"A\"]\n\n1. e4 {open comment"), (Texts{"[Event \"A\"]\n\n1. e4 {open comment\n"}));
    EXPECT_EQ(cut(""), Texts{});
    EXPECT_EQ(cut("\n\r\n\n"), Texts{});
}

TEST_F(PgnFileTest, BufferBoundariesChangeNothing) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string contents = "\r\n" + bom + "[Event \"A\"]\r\r\n\r\n1. e4 {x\r\n\r\n} e5 *\r\n\r\n" +
                                 game_b + "\n\n\n" + game_c + "[Event \"D\"]\r\n\r\n1. Nf3\r";
    const Texts expected = cut(contents);
    ASSERT_EQ(expected.size(), 4u);
    for (std::size_t size = 1; size <= 9; ++size) EXPECT_EQ(cut(contents, size), expected) << size;
}

TEST_F(PgnFileTest, UnreadableInputEndsLikeEndOfFile) {
    PgnFile file;
    file.open_read(dir.file("missing.pgn"));
    EXPECT_FALSE(file.is_reading());
    EXPECT_EQ(file.read_first_game(), "");
    EXPECT_EQ(file.read_next_game(), "");

    // A directory may open like a file, but reading it fails: no games, no endless loop.
    file.open_read(dir.path().string());
    EXPECT_EQ(file.read_first_game(), "");
    EXPECT_EQ(file.read_next_game(), "");
}

TEST_F(PgnFileTest, ReadsAPipe) {
    const std::string fifo = dir.file("games.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY);
        const std::string contents = game_a + game_b;
        if (fd >= 0) {
            EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
            close(fd);
        }
    });
    EXPECT_EQ(cut_file(fifo), (Texts{game_a, game_b}));
    writer.join();
}

TEST_F(PgnFileTest, WriteGameAppendsToExistingContents) {
    dir.write("out.pgn", game_a);
    PgnFile file;
    file.open_write(dir.file("out.pgn"));
    EXPECT_TRUE(file.is_writing());
    file.write_game(game_b);
    file.write_game(game_c);
    EXPECT_TRUE(file.close_write());
    EXPECT_EQ(dir.read("out.pgn"), game_a + game_b + game_c);
    EXPECT_EQ(cut_file(dir.file("out.pgn")), (Texts{game_a, game_b, game_c}));

    file.open_write(dir.file("new.pgn"));
    file.write_game("no separator added");
    EXPECT_TRUE(file.close_write());
    EXPECT_EQ(dir.read("new.pgn"), "no separator added");
}

TEST_F(PgnFileTest, OutputFailuresAreReportedOnClose) {
    PgnFile file;
    EXPECT_FALSE(file.close_write()) << "never opened";
    file.open_write(dir.path().string());
    EXPECT_FALSE(file.is_writing());
    file.write_game(game_a);
    EXPECT_FALSE(file.close_write());

    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    file.open_write("/dev/full");
    EXPECT_TRUE(file.is_writing());
    file.write_game(game_a);
    EXPECT_FALSE(file.close_write()) << "a full disk is not success";
}

// Every non-empty line of a real file ends up in exactly one game text, in order.
TEST(PgnFileRealData, NoLineIsLost) {
    const std::filesystem::path samples = std::filesystem::path(VORLINE_DATA_DIR) / "games" / "samples";
    if (!std::filesystem::is_directory(samples)) GTEST_SKIP() << "reference data absent";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        if (entry.path().extension() != ".pgn") continue;
        const std::string path = entry.path().string();
        PgnFile file;
        file.open_read(path);
        LineDigest from_texts;
        std::size_t texts = 0;
        for (const std::string* text = &file.read_first_game(); !text->empty();
             text = &file.read_next_game()) {
            ASSERT_EQ(text->back(), '\n') << path;
            ASSERT_NE(text->front(), '\n') << path;
            from_texts.add_text(*text);
            ++texts;
        }
        EXPECT_GT(texts, 0u) << path;
        EXPECT_EQ(from_texts, digest_of_file(path)) << path;
        ++files;
    }
    EXPECT_GT(files, 10);
}

}  // namespace
