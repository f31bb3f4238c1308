#include "support/process.h"

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void close_both(int pipe_ends[2]) {
    close(pipe_ends[0]);
    close(pipe_ends[1]);
}

}  // namespace

ProcessResult run_process(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& working_directory, int time_limit_seconds) {
    // Everything the child needs is prepared before fork: after it only system calls.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0) throw std::runtime_error("pipe failed");
    if (pipe(err_pipe) != 0) {
        close_both(out_pipe);
        throw std::runtime_error("pipe failed");
    }

    const pid_t child = fork();
    if (child < 0) {
        close_both(out_pipe);
        close_both(err_pipe);
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        const int null_input = open("/dev/null", O_RDONLY);
        if (null_input < 0 || dup2(null_input, 0) < 0 || dup2(out_pipe[1], 1) < 0 ||
            dup2(err_pipe[1], 2) < 0 || chdir(working_directory.c_str()) != 0)
            _exit(127);
        close_both(out_pipe);
        close_both(err_pipe);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);

    ProcessResult result;
    pollfd streams[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds);
    bool timed_out = false;
    int open_streams = 2;
    while (open_streams > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        if (poll(streams, 2, static_cast<int>(left.count())) < 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) continue;
            char chunk[4096];
            const ssize_t count = read(streams[i].fd, chunk, sizeof chunk);
            if (count > 0) {
                sinks[i]->append(chunk, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                close(streams[i].fd);
                streams[i].fd = -1;
                --open_streams;
            }
        }
    }
    for (pollfd& stream : streams)
        if (stream.fd >= 0) close(stream.fd);
    if (timed_out) kill(child, SIGKILL);

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!timed_out && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    return result;
}
