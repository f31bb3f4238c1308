#include "support/process.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The whole of an unnamed temporary file that a child wrote to; closes it.
std::string take(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
    std::fclose(file);
    return text;
}

}  // namespace

ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& working_directory, int time_limit_seconds) {
    // Everything the child needs is prepared before fork: after it only system calls. The
    // streams go to files, so a child that writes much never waits for the parent.
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const pid_t child = out && err ? fork() : -1;
    if (child < 0) {
        if (out) std::fclose(out);
        if (err) std::fclose(err);
        throw std::runtime_error("cannot start " + program);
    }
    if (child == 0) {
        const int null_input = open("/dev/null", O_RDONLY);
        if (null_input >= 0 && dup2(null_input, 0) >= 0 && dup2(fileno(out), 1) >= 0 &&
            dup2(fileno(err), 2) >= 0 && chdir(working_directory.c_str()) == 0)
            execv(program.c_str(), argv.data());
        _exit(127);
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds);
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (done == 0) {  // out of time
        kill(child, SIGKILL);
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    ProcessResult result;
    if (done == child && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    result.out = take(out);
    result.err = take(err);
    return result;
}
