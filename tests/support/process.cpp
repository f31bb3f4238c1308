#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char** environ;

namespace vorline {

namespace {

// The whole of an unnamed temporary file that a child writes to, so far.
std::string contents(std::FILE* file) {
    std::string text;
    char chunk[4096];
    for (off_t at = 0;;) {
        const ssize_t n = pread(fileno(file), chunk, sizeof chunk, at);
        if (n <= 0) return text;
        text.append(chunk, static_cast<std::size_t>(n));
        at += n;
    }
}

void limit(int resource, unsigned long bytes) {
    if (bytes == 0) return;
    const rlimit value{bytes, bytes};
    setrlimit(resource, &value);
}

}  // namespace

Process::Process(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& working_directory, const ProcessOptions& options)
    : time_limit_seconds_(options.time_limit_seconds) {
    // Everything the child needs is prepared before fork: after it only system calls. The
    // streams go to files, so a child that writes much never waits for the parent.
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view name(*entry, std::strcspn(*entry, "="));
        bool replaced = false;
        for (const std::string& added : options.environment)
            replaced = replaced || (added.starts_with(name) && added[name.size()] == '=');
        if (!replaced) envp.push_back(*entry);
    }
    for (const std::string& entry : options.environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    out_ = std::tmpfile();
    err_ = std::tmpfile();
    child_ = out_ && err_ ? fork() : -1;
    if (child_ < 0) throw std::runtime_error("cannot start " + program);
    if (child_ == 0) {
        limit(RLIMIT_AS, options.memory_limit);
        limit(RLIMIT_FSIZE, options.file_size_limit);
        limit(RLIMIT_STACK, options.stack_limit);
        // As a shell starts it: the tool itself must turn a write past the size limit into
        // a failed write rather than be ended by SIGXFSZ.
        signal(SIGXFSZ, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        const int null_input = open("/dev/null", O_RDONLY);
        if (null_input >= 0 && dup2(null_input, 0) >= 0 && dup2(fileno(out_), 1) >= 0 &&
            dup2(options.error_descriptor >= 0 ? options.error_descriptor : fileno(err_), 2) >= 0 &&
            chdir(working_directory.c_str()) == 0)
            execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
}

Process::~Process() {
    if (child_ > 0) {
        kill(child_, SIGKILL);
        while (waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (out_) std::fclose(out_);
    if (err_) std::fclose(err_);
}

bool Process::wait_for_output(const std::string& text) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (contents(out_).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Process::send(int signal) const { kill(child_, signal); }

ProcessResult Process::wait() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(time_limit_seconds_);
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(child_, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (done == 0) {  // out of time
        kill(child_, SIGKILL);
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    child_ = -1;
    ProcessResult result;
    if (done > 0 && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    result.out = contents(out_);
    result.err = contents(err_);
    return result;
}

}  // namespace vorline
