#include "tool/interruption.h"

#include <csignal>

namespace vorline {

namespace {

volatile std::sig_atomic_t caught_signal = 0;

extern "C" void record_signal(int signal) { caught_signal = signal; }

}  // namespace

CatchInterruptions::CatchInterruptions() {
    caught_signal = 0;
    struct sigaction action {};
    action.sa_handler = record_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &previous_interrupt_);
    sigaction(SIGTERM, &action, &previous_terminate_);
}

CatchInterruptions::~CatchInterruptions() {
    sigaction(SIGINT, &previous_interrupt_, nullptr);
    sigaction(SIGTERM, &previous_terminate_, nullptr);
}

void stop_if_interrupted() {
    if (caught_signal != 0) [[unlikely]]
        throw Interrupted(caught_signal);
}

}  // namespace vorline
