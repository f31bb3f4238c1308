// ProgressLine: a status line on a terminal, redrawn in place a few times a second.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace vorline {

// Writes to a descriptor only when it is a terminal, which is decided once, when the object
// is made: on a file or a pipe nothing is ever written. The line is redrawn with a carriage
// return and cleared to its end, and cut to the terminal's width so it never wraps.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration redraw_interval = std::chrono::milliseconds(250);

    // A descriptor below 0 stands for no terminal.
    explicit ProgressLine(int descriptor);
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool on_terminal() const { return terminal_; }
    double seconds() const;

    // Redraws the line with `make_text()` when a redraw interval has passed since the last
    // one (or since the start); the text is made only then.
    template <class MakeText>
    void update(MakeText&& make_text) {
        if (!terminal_) return;
        const Clock::time_point now = Clock::now();
        if (now < next_draw_) return;
        next_draw_ = now + redraw_interval;
        draw(make_text());
    }

    // Removes the line, so that the next output starts on an empty line.
    void clear();
    // Writes whole lines below the cleared line (the summary).
    void write_lines(std::string_view text);

private:
    void draw(std::string_view text);
    void write_all(std::string_view text) const;

    int descriptor_;
    bool terminal_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point next_draw_;
    std::string buffer_;
};

}  // namespace vorline
