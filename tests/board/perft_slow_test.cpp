// The larger perft reference lines (up to five million leaves each).
#include <gtest/gtest.h>

#include "support/reference_data.h"

namespace vorline {

namespace {

TEST(PerftSlow, ReferenceLinesUpTo5MillionNodes) {
    const std::vector<PerftLine> lines = reference_perft_lines(200'001, 5'000'000);
    if (lines.empty()) GTEST_SKIP() << "reference data absent";
    expect_perft_counts(lines);
}

}  // namespace

}  // namespace vorline
