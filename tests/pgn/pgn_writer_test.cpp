// Writing a game record as PGN text, and breaking it into lines.
#include <gtest/gtest.h>

#include <string>

#include "pgn/game.h"
#include "pgn/pgn_layout.h"

namespace {

std::string wrapped(std::string text, std::size_t offset = 0) {
    wrap_pgn_lines(text, offset);
    return text;
}

std::string word(std::size_t length) { return std::string(length, 'x'); }

}  // namespace

TEST(PgnWrapping, BreaksAtThe80thCharacterOrTheSpaceBeforeIt) {
    const std::string line79 = word(40) + " " + word(38);
    const std::string head = "[Event \"A\"]\n";
    const std::pair<std::string, std::string> rows[] = {
        {line79 + "\n", line79 + "\n"},
        {line79, line79},
        {line79 + " abc", line79 + "\nabc"},
        {word(50) + " " + word(50), word(50) + "\n" + word(50)},
        {word(79) + " " + word(10), word(79) + "\n" + word(10)},
        // A line without a space is broken after its word, never in an earlier line.
        {head + word(120) + " e4 e5\n", head + word(120) + "\ne4 e5\n"},
        {head + word(120) + "\n", head + word(120) + "\n"}};
    for (const auto& [text, expected] : rows) EXPECT_EQ(wrapped(text), expected) << text;

    const std::string tag = "[Event \"" + word(50) + " " + word(50) + "\"]\n";
    EXPECT_EQ(wrapped(tag + word(50) + " " + word(50) + "\n", tag.size()),
              tag + word(50) + "\n" + word(50) + "\n");
}
