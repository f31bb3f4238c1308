// Thread check: whether the system lets the run start the threads it is about to need.
#pragma once

#include <cstddef>

namespace vorline {

// Starts `count` threads with stacks of `stack_size` bytes, all alive at once, and ends
// them again. Throws ThreadStartError when one cannot be started. oneTBB starts its workers
// only as work comes, and ends the process when it cannot; checking first turns that into
// an error the run reports, before any work is begun.
void check_threads_can_start(unsigned count, std::size_t stack_size);

}  // namespace vorline
