// ToolRun: a test fixture that runs the built executable in a folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vorline {

inline constexpr int failed = 255;  // the tool's -1 as a parent process sees it

class ToolRun : public ::testing::Test {
protected:
    Process start(const std::vector<std::string>& arguments, ProcessOptions options = {}) const {
        // A preloaded library comes before the sanitizer's runtime.
        const char* asan = std::getenv("ASAN_OPTIONS");
        options.environment.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
                                      ":verify_asan_link_order=0");
        return Process(VORLINE_EXE, arguments, dir.path().string(), options);
    }
    ProcessResult vorline(const std::vector<std::string>& arguments,
                          ProcessOptions options = {}) const {
        return start(arguments, std::move(options)).wait();
    }
    // Reads of `file` fail with EIO after `bytes`, or crawl when `bytes` is negative.
    ProcessOptions troubled(const std::string& file, long bytes) const {
        ProcessOptions options;
        options.environment = {
            std::string("LD_PRELOAD=") + VORLINE_TROUBLED_READS,
            "VORLINE_TROUBLED_FILE=" + dir.file(file),
            bytes < 0 ? "VORLINE_SLOW_READS=1" : "VORLINE_FAIL_AFTER=" + std::to_string(bytes)};
        return options;
    }

    TempDir dir;
};

}  // namespace vorline
