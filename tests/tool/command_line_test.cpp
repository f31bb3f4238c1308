#include "tool/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(ReadDepth, ReadsLikeAStreamReadsAnInt) {
    EXPECT_EQ(read_depth("12", 24), 12);
    EXPECT_EQ(read_depth("0", 24), 0);
    EXPECT_EQ(read_depth("12moves", 24), 12);
    EXPECT_EQ(read_depth("  \t\n+7 8", 24), 7);
    EXPECT_EQ(read_depth("-5", 24), -5);
    EXPECT_EQ(read_depth("007", 24), 7);
    EXPECT_EQ(read_depth("0x10", 24), 0);
}

TEST(ReadDepth, NoDigitsGiveZeroAndAnEmptyValueKeepsTheDepth) {
    EXPECT_EQ(read_depth("abc", 24), 0);
    EXPECT_EQ(read_depth("-", 24), 0);
    EXPECT_EQ(read_depth("+", 24), 0);
    EXPECT_EQ(read_depth("   ", 24), 0);
    EXPECT_EQ(read_depth("- 5", 24), 0);
    EXPECT_EQ(read_depth("", 24), 24);
    EXPECT_EQ(read_depth("", 3), 3);
}

TEST(ReadDepth, ClampsToThe32BitLimits) {
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(read_depth("2147483647", 24), max);
    EXPECT_EQ(read_depth("2147483648", 24), max);
    EXPECT_EQ(read_depth("99999999999999999999999999", 24), max);
    EXPECT_EQ(read_depth("-2147483648", 24), min);
    EXPECT_EQ(read_depth("-2147483649", 24), min);
    EXPECT_EQ(read_depth("-99999999999999999999999999x", 24), min);
}

TEST(OutputFileName, ReplacesTrailingEpdOrFallsBack) {
    EXPECT_EQ(output_file_name("pos.epd"), "pos.pgn");
    EXPECT_EQ(output_file_name("data/pos.epd"), "data/pos.pgn");
    EXPECT_EQ(output_file_name("a.xepd"), "a..pgn");
    EXPECT_EQ(output_file_name("xepd"), ".pgn");
    EXPECT_EQ(output_file_name("epd"), ".pgn");
    EXPECT_EQ(output_file_name("pos.EPD"), "openings.pgn");
    EXPECT_EQ(output_file_name("pos.epd.txt"), "openings.pgn");
    EXPECT_EQ(output_file_name("ep"), "openings.pgn");
}

TEST(HelpText, OptionColonsStandInColumn19) {
    const std::string text = help_text();
    EXPECT_TRUE(text.starts_with("options:\n-h                : this menu\n"));
    EXPECT_TRUE(text.ends_with("\n\n" + std::string(banner) + "\n\n"));
    std::size_t option_lines = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        if (line.starts_with("-")) {
            EXPECT_EQ(line.find(':'), 18u) << line;
            ++option_lines;
        }
        start = end + 1;
    }
    EXPECT_EQ(option_lines, 4u);
}

}  // namespace
