#include "fuzz/fuzz_support.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <streambuf>

namespace vorline {

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void remove_scratch_directory() {
    std::error_code ignored;
    std::filesystem::remove_all(scratch_directory(), ignored);
}

}  // namespace

const std::string& scratch_directory() {
    static const std::string path = [] {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "vorline-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    static const bool registered = (std::atexit(remove_scratch_directory), true);
    (void)registered;
    return path;
}

std::string write_scratch_file(std::string_view name, std::string_view bytes) {
    const std::string path = scratch_directory() + "/" + std::string(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    require(!out.fail(), "scratch file written");
    return path;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void silence_error_stream() {
    static NullBuffer nowhere;
    std::cerr.rdbuf(&nowhere);
}

void run_check(const std::function<void()>& check) {
    try {
        check();
    } catch (const PropertyViolated& violated) {
        std::fprintf(stderr, "property violated: %s\n", violated.what());
        std::abort();
    }
}

}  // namespace vorline
