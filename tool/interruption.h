// Interruption: SIGINT, SIGTERM, SIGHUP and SIGQUIT turned into a request that the run stops
// between two games or lines, so that every file it writes is closed whole.
#pragma once

#include <signal.h>

#include "io/interruption_request.h"

namespace vorline {

// While it lives, the first SIGINT, SIGTERM, SIGHUP or SIGQUIT only records the request and
// breaks off a blocked read, write or open (the handlers are installed without SA_RESTART);
// a second one acts as if never caught (it ends the process), for a run that waits where
// no check comes. SIGXFSZ is ignored, so that a file grown past its size limit makes the
// write fail (EFBIG) instead of ending the process. The handlers found before are put back
// at the end.
class CatchInterruptions {
public:
    CatchInterruptions();
    ~CatchInterruptions();
    CatchInterruptions(const CatchInterruptions&) = delete;
    CatchInterruptions& operator=(const CatchInterruptions&) = delete;

private:
    static constexpr int caught[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction previous_[std::size(caught)]{};
    struct sigaction previous_file_size_ {};
};

}  // namespace vorline
