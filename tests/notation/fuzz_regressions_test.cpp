// Inputs saved from fuzzing the SAN reader (a position selector byte, then the
// token), run through the fuzz target's checks.
#include <gtest/gtest.h>

#include "fuzz/san_check.h"
#include "support/saved_inputs.h"

namespace {

TEST(FuzzRegressions, SanReading) {
    for (const auto& file : saved_inputs("san")) EXPECT_NO_THROW(check_san(bytes_of(file))) << file;
}

}  // namespace
