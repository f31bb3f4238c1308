// Line breaking of PGN text.
#include <gtest/gtest.h>

#include <string>

#include "pgn/pgn_layout.h"

namespace {

std::string wrapped(std::string text) {
    wrap_pgn_lines(text);
    return text;
}

std::string word(std::size_t length, char c = 'x') {
    return std::string(length, c);
}

}  // namespace

TEST(PgnWrapping, LinesUpTo79CharactersStayWhole) {
    const std::string line79 = word(40) + " " + word(38);
    EXPECT_EQ(wrapped(line79 + "\n"), line79 + "\n");
    EXPECT_EQ(wrapped(line79), line79);
}

TEST(PgnWrapping, BreaksAtThe80thCharacterOrTheSpaceBeforeIt) {
    const std::string first = word(40) + " " + word(38);  // 79 characters
    EXPECT_EQ(wrapped(first + " abc"), first + "\nabc");
    EXPECT_EQ(wrapped(word(50) + " " + word(50)), word(50) + "\n" + word(50));
    // Every line of a long movetext holds at most 79 characters.
    std::string text;
    for (int i = 0; i < 100; ++i) text += "12. Nxe4 ";
    const std::string out = wrapped(text);
    std::size_t start = 0;
    for (std::size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 79u);
    EXPECT_LE(out.size() - start, 79u);
}

TEST(PgnWrapping, LineWithoutSpaceIsBrokenAfterwardsNotInAnEarlierLine) {
    const std::string head = "[Event \"A\"]\n";
    const std::string long_word = word(120);
    EXPECT_EQ(wrapped(head + long_word + " e4 e5\n"), head + long_word + "\ne4 e5\n");
    EXPECT_EQ(wrapped(head + long_word + "\n"), head + long_word + "\n");
    const std::string at_80 = word(79) + " " + word(10);
    EXPECT_EQ(wrapped(at_80), word(79) + "\n" + word(10));
}

TEST(PgnWrapping, StartsAtTheGivenOffset) {
    const std::string tag = "[Event \"" + word(50) + " " + word(50) + "\"]\n";
    std::string text = tag + word(50) + " " + word(50) + "\n";
    wrap_pgn_lines(text, tag.size());
    EXPECT_EQ(text, tag + word(50) + "\n" + word(50) + "\n");
}
