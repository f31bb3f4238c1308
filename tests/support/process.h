#pragma once

#include <string>
#include <vector>

// What a finished child process left behind.
struct ProcessResult {
    int exit_status = -1;  // 0-255 as the parent sees it (a child's -1 reads as 255)
    std::string out;       // standard output
    std::string err;       // standard error
};

// Runs the program with the arguments (not including the program name) in the working
// directory, with both output streams captured and standard input empty. A child that
// runs longer than the time limit is killed and the test fails on its exit status (-1).
ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& working_directory, int time_limit_seconds = 60);
