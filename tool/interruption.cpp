#include "tool/interruption.h"

#include <signal.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t caught_signal = 0;

extern "C" void record_signal(int signal) { caught_signal = signal; }

}  // namespace

void catch_interruptions() {
    struct sigaction action {};
    action.sa_handler = record_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void stop_if_interrupted() {
    if (caught_signal != 0) [[unlikely]]
        throw Interrupted(caught_signal);
}
