// SanError: a SAN move text that is malformed or names no legal move of its position.
#pragma once

#include <stdexcept>

namespace vorline {

class SanError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

}  // namespace vorline
