// ThreadStartError: the system refused to start a thread that the run needs.
#pragma once

#include <stdexcept>
#include <string>

namespace vorline {

// Thrown where a thread cannot be started (too little memory for its stack, too many
// threads for the process's limits), so that the run ends with a message of its own.
class ThreadStartError : public std::runtime_error {
public:
    explicit ThreadStartError(const std::string& reason) : std::runtime_error(reason) {}
};

}  // namespace vorline
