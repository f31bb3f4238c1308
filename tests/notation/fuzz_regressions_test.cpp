// Inputs saved from fuzzing the SAN reader (a position selector byte, then the
// token), run through the fuzz target's checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/san_check.h"

namespace {

TEST(FuzzRegressions, SanReading) {
    const std::filesystem::path folder = std::filesystem::path(VORLINE_TEST_DIR) / "regressions" / "san";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_NO_THROW(check_san(text)) << file;
    }
}

}  // namespace
