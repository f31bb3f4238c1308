#include "io/interruption_request.h"

#include <csignal>

namespace vorline {

namespace {

volatile std::sig_atomic_t caught_signal = 0;

}  // namespace

void request_interruption(int signal) noexcept { caught_signal = signal; }

void clear_interruption_request() noexcept { caught_signal = 0; }

void stop_if_interrupted() {
    if (caught_signal != 0) [[unlikely]]
        throw Interrupted(caught_signal);
}

}  // namespace vorline
