#include "thread_counts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/process.h"

namespace vorline {

std::string expect_same_output_for_thread_counts(const TempDir& dir,
                                                 const std::vector<std::string>& arguments,
                                                 const std::string& output) {
    std::string first_output, first_failed;
    for (const auto& [option, count] :
         {std::pair{"-t", "1"}, {"-t", "2"}, {"-t", "3"}, {"-threads", "8"}, {"-t", "0"}}) {
        std::filesystem::remove(dir.file(output));  // the output is appended to
        std::vector<std::string> with_threads = arguments;
        with_threads.insert(with_threads.end(), {option, count});
        const ProcessResult result =
            run_process(VORLINE_EXE, with_threads, dir.path().string(), 600);
        EXPECT_EQ(result.exit_status, 0) << option << ' ' << count << ": " << result.err;
        if (first_output.empty()) {
            first_output = dir.read(output);
            first_failed = dir.read("failed.epd");
            continue;
        }
        EXPECT_TRUE(dir.read(output) == first_output) << option << ' ' << count;
        EXPECT_TRUE(dir.read("failed.epd") == first_failed) << option << ' ' << count;
    }
    return first_output;
}

}  // namespace vorline
