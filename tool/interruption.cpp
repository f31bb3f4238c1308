#include "tool/interruption.h"

namespace vorline {

namespace {

extern "C" void record_signal(int signal) { request_interruption(signal); }

}  // namespace

CatchInterruptions::CatchInterruptions() {
    clear_interruption_request();
    struct sigaction action {};
    action.sa_handler = record_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(caught); ++i)
        sigaction(caught[i], &action, &previous_[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &previous_file_size_);
}

CatchInterruptions::~CatchInterruptions() {
    for (std::size_t i = 0; i < std::size(caught); ++i)
        sigaction(caught[i], &previous_[i], nullptr);
    sigaction(SIGXFSZ, &previous_file_size_, nullptr);
}

}  // namespace vorline
