#include "tool/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(CommandLine, DepthIsReadLikeAStreamReadsAnIntClampedTo32Bits) {
    struct Row {
        const char* value;
        std::int32_t expected;
    };
    for (const Row& row : {Row{"12moves", 12}, Row{"  \t\n+7 8", 7}, Row{"-5", -5}, Row{"0x10", 0},
                           Row{"- 5", 0}, Row{"", 24},  // an empty value keeps the depth
                           Row{"2147483648", 2147483647}, Row{"-2147483648", -2147483647 - 1},
                           Row{"-99999999999999999999999999x", -2147483647 - 1}}) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(read_depth(row.value, 24), row.expected);
    }
}

TEST(CommandLine, HelpColonsStandInColumn19) {
    const std::string text = help_text();
    EXPECT_TRUE(text.starts_with("options:\n-h                : this menu\n"));
    EXPECT_TRUE(text.ends_with("\n\n" + std::string(banner) + "\n\n"));
    std::size_t options = 0;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        if (text[start] != '-') continue;
        EXPECT_EQ(text.find(':', start), start + 18) << text.substr(start, end - start);
        ++options;
    }
    EXPECT_EQ(options, 4u);
}

}  // namespace
