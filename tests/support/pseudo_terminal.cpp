#include "support/pseudo_terminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace vorline {

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    const char* name = master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0
                           ? ptsname(master_)
                           : nullptr;
    if (name) slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode{};
    if (slave_ < 0 || tcgetattr(slave_, &mode) != 0) {
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
        throw std::runtime_error("no pseudo-terminal");
    }
    cfmakeraw(&mode);
    tcsetattr(slave_, TCSANOW, &mode);
    // Reads until the last slave descriptor closes (EIO on Linux, 0 elsewhere).
    reader_ = std::thread([this] {
        char chunk[4096];
        for (ssize_t n; (n = read(master_, chunk, sizeof chunk)) != 0;) {
            if (n > 0)
                screen_.append(chunk, std::size_t(n));
            else if (errno != EINTR)
                break;
        }
    });
}

PseudoTerminal::~PseudoTerminal() {
    take();
    close(master_);
}

std::string PseudoTerminal::take() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
    if (reader_.joinable()) reader_.join();
    return screen_;
}

}  // namespace vorline
