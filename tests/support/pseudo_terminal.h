// PseudoTerminal: a terminal made for one test, whose screen output the test reads back.
#pragma once

#include <string>
#include <thread>

namespace vorline {

// The terminal is raw (bytes pass unchanged, no "\r" added before "\n"). What is written to
// its slave side is collected by a thread until every copy of the slave side is closed.
class PseudoTerminal {
public:
    PseudoTerminal();  // throws std::runtime_error when the system has no pseudo-terminals
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The descriptor to hand to a child as its standard error.
    int slave() const { return slave_; }
    // Closes the slave side and returns everything written to it; call once, after the
    // children that hold the slave side have ended.
    std::string take();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string screen_;
    std::thread reader_;
};

}  // namespace vorline
