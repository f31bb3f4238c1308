#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

namespace vorline {

// What a finished child process left behind.
struct ProcessResult {
    int exit_status =
        -1;           // 0-255 as the parent sees it (a child's -1 reads as 255); -1 when killed
    std::string out;  // standard output
    std::string err;  // standard error
};

// How a child is started besides its arguments.
struct ProcessOptions {
    std::vector<std::string> environment = {};  // NAME=value entries, replacing the parent's
    unsigned long memory_limit = 0;             // bytes of address space (RLIMIT_AS); 0 for none
    unsigned long file_size_limit = 0;          // bytes per written file (RLIMIT_FSIZE); 0 for none
    unsigned long stack_limit = 0;  // bytes of stack (RLIMIT_STACK, also new threads'); 0 for none
    int time_limit_seconds = 60;
    int error_descriptor = -1;  // where standard error goes instead, if set (err stays empty)
};

// A child running the program with the arguments (not including the program name) in the
// working directory, with both output streams captured and standard input empty. A child
// that runs longer than the time limit is killed and reads as killed.
class Process {
public:
    Process(const std::string& program, const std::vector<std::string>& arguments,
            const std::string& working_directory, const ProcessOptions& options = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Waits until standard output holds `text`, for at most ten seconds; false if it never does.
    bool wait_for_output(const std::string& text) const;
    void send(int signal) const;
    ProcessResult wait();

private:
    pid_t child_ = -1;
    int time_limit_seconds_;
    std::FILE* out_ = nullptr;
    std::FILE* err_ = nullptr;
};

inline ProcessResult run_process(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::string& working_directory,
                                 int time_limit_seconds = 60) {
    return Process(program, arguments, working_directory,
                   {.time_limit_seconds = time_limit_seconds})
        .wait();
}

}  // namespace vorline
