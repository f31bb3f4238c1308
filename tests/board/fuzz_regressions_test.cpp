// Inputs saved from fuzzing the FEN reader and move generation, run through the fuzz
// targets' checks.
#include <gtest/gtest.h>

#include "fuzz/fen_check.h"
#include "fuzz/fen_moves_check.h"
#include "support/saved_inputs.h"

namespace {

TEST(FuzzRegressions, FenReading) {
    for (const auto& file : saved_inputs("fen")) EXPECT_NO_THROW(check_fen(bytes_of(file))) << file;
}

TEST(FuzzRegressions, FenMoveGeneration) {
    for (const auto& file : saved_inputs("fen_moves"))
        EXPECT_NO_THROW(check_fen_moves(bytes_of(file))) << file;
}

}  // namespace
