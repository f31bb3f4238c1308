#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "checks/check_support.h"

namespace vorline {

// What only the fuzz targets need.

// A private scratch directory for the whole fuzzing process, made on first use (in memory
// under /dev/shm when there is one) and removed at exit.
const std::string& scratch_directory();

// Writes the bytes to the named file in the scratch directory and returns its path.
std::string write_scratch_file(std::string_view name, std::string_view bytes);

// The whole file as bytes; empty when it does not exist.
std::string read_file(const std::string& path);

// Sends std::cerr to nowhere: readers report unreadable games there, which would bury the
// fuzzer's own output.
void silence_error_stream();

// Runs one check; a broken property stops the fuzzer with its description, so that the
// input is saved as a crash.
void run_check(const std::function<void()>& check);

}  // namespace vorline
