// Inputs saved from fuzzing the FEN reader, run through the fuzz target's checks.
#include <gtest/gtest.h>

#include "fuzz/fen_check.h"
#include "support/saved_inputs.h"

namespace {

TEST(FuzzRegressions, FenReading) {
    for (const auto& file : saved_inputs("fen")) EXPECT_NO_THROW(check_fen(bytes_of(file))) << file;
}

}  // namespace
