// Interruption: SIGINT and SIGTERM turned into a request that the run stops between two
// games or lines, so that every file it writes is closed whole.
#pragma once

#include <signal.h>

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

// While it lives, the first SIGINT or SIGTERM only records the request; a second one acts
// as if never caught (it ends the process), for a run that waits on an input that never
// comes. The handlers found before are put back at the end.
class CatchInterruptions {
public:
    CatchInterruptions();
    ~CatchInterruptions();
    CatchInterruptions(const CatchInterruptions&) = delete;
    CatchInterruptions& operator=(const CatchInterruptions&) = delete;

private:
    struct sigaction previous_interrupt_ {};
    struct sigaction previous_terminate_ {};
};

// Throws Interrupted once a signal has been caught.
void stop_if_interrupted();

}  // namespace vorline
