// GameError: a game record whose lines no longer fit together.
#pragma once

#include <stdexcept>

namespace vorline {

class GameError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

}  // namespace vorline
