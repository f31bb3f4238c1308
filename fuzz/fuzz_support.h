#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Shared pieces of the fuzz targets.

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

// The lines of a text as the readers see them: split at line feeds, a last piece without a
// line feed is a line when it is not empty, and carriage returns at the end of each line
// are dropped when `drop_carriage_returns` is set.
std::vector<std::string_view> split_lines(std::string_view text, bool drop_carriage_returns);

// Stops the fuzzer with a message when a property does not hold.
void require(bool holds, std::string_view what);

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}
