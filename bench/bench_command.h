#pragma once

#include <string_view>

// A subcommand of vorline-bench. Each bench_*.cpp file defines one and registers it
// with a static BenchRegistration; main() dispatches on the first argument.
using BenchFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand name

struct BenchRegistration {
    BenchRegistration(std::string_view name, std::string_view usage, BenchFunction run);
};
