#include "tool/progress_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace vorline {

ProgressLine::ProgressLine(int descriptor)
    : descriptor_(descriptor),
      terminal_(descriptor >= 0 && isatty(descriptor) == 1),
      start_(Clock::now()),
      next_draw_(start_ + redraw_interval) {}

double ProgressLine::seconds() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void ProgressLine::draw(std::string_view text) {
    winsize size{};
    if (ioctl(descriptor_, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 && text.size() >= size.ws_col)
        text = text.substr(0, size.ws_col - 1);
    // "ESC [ K" clears what an earlier, longer line left to the right.
    buffer_.clear();
    buffer_ += '\r';
    buffer_ += text;
    buffer_ += "\x1b[K";
    write_all(buffer_);
    drawn_ = true;
}

void ProgressLine::clear() {
    if (!drawn_) return;
    write_all("\r\x1b[K");
    drawn_ = false;
}

void ProgressLine::write_lines(std::string_view text) {
    if (!terminal_) return;
    clear();
    write_all(text);
}

void ProgressLine::write_all(std::string_view text) const {
    // A terminal that goes away mid-run loses the line; the run goes on.
    while (!text.empty()) {
        const ssize_t n = write(descriptor_, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text.remove_prefix(std::size_t(n));
    }
}

}  // namespace vorline
