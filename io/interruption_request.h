// Interruption request: a caught signal asking the run to stop, seen by every blocking call.
#pragma once

#include <stdexcept>

namespace vorline {

// Thrown where the work stops; the run closes its files and ends with 128 + signal.
class Interrupted : public std::runtime_error {
public:
    explicit Interrupted(int signal) : std::runtime_error("Interrupted"), signal_(signal) {}
    int signal() const { return signal_; }

private:
    int signal_;
};

// Records that `signal` asks the run to stop. Safe to call from a signal handler.
void request_interruption(int signal) noexcept;
// Forgets a request, when a new run begins to catch signals.
void clear_interruption_request() noexcept;

// Throws Interrupted once a signal has been caught. Called between games and lines, and by
// every system call that a signal breaks off (EINTR) before it is tried again, so that a
// blocked read, write or open ends with the first signal.
void stop_if_interrupted();

}  // namespace vorline
