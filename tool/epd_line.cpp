#include "tool/epd_line.h"

#include <cstring>

namespace vorline {

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

}  // namespace

EpdLineReader::EpdLineReader(ByteSource& source, std::size_t buffer_size)
    : source_(source),
      buffer_size_(buffer_size > 0 ? buffer_size : 1),
      buffer_(std::make_unique_for_overwrite<char[]>(buffer_size_)) {}

bool EpdLineReader::refill() {
    if (exhausted_) return false;
    const std::size_t count = source_.read(buffer_.get(), buffer_size_);
    exhausted_ = count == 0;
    next_ = buffer_.get();
    end_ = next_ + count;
    return count > 0;
}

bool EpdLineReader::next(std::string_view& line) {
    bool spans_blocks = false;
    bool ended_by_line_feed = false;
    for (;;) {
        if (next_ == end_ && !refill()) {
            if (!spans_blocks) return false;
            line = long_line_;  // a last line without a line break
            break;
        }
        const auto* line_feed = static_cast<const char*>(
            std::memchr(next_, '\n', static_cast<std::size_t>(end_ - next_)));
        if (line_feed == nullptr) {
            if (!spans_blocks) long_line_.clear();
            long_line_.append(next_, end_);
            spans_blocks = true;
            next_ = end_;
            continue;
        }
        ended_by_line_feed = true;
        if (spans_blocks) {
            long_line_.append(next_, line_feed);
            line = long_line_;
        } else {
            line = std::string_view(next_, static_cast<std::size_t>(line_feed - next_));
        }
        next_ = line_feed + 1;
        break;
    }
    if (ended_by_line_feed && line.ends_with('\r')) line.remove_suffix(1);
    if (at_start_) {
        at_start_ = false;
        if (line.starts_with(byte_order_mark)) line.remove_prefix(byte_order_mark.size());
    }
    return true;
}

}  // namespace vorline
