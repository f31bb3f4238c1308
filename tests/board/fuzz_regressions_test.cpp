// Inputs saved from fuzzing the FEN reader, run through the fuzz target's checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fen_check.h"

namespace {

TEST(FuzzRegressions, FenReading) {
    const std::filesystem::path folder = std::filesystem::path(VORLINE_TEST_DIR) / "regressions" / "fen";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_NO_THROW(check_fen(text)) << file;
    }
}

}  // namespace
