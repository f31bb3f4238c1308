#include "pgn/pgn_file.h"

#include <algorithm>
#include <cstring>

#include "io/file_source.h"

namespace vorline {

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

}  // namespace

PgnFile::PgnFile(std::size_t buffer_size) : buffer_size_(std::max<std::size_t>(buffer_size, 1)) {}

void PgnFile::open_read(const std::string& file_name) {
    close_read();
    owned_input_ = FileSource::open(file_name);
    if (owned_input_) {
        open_read(*owned_input_);
        input_name_ = file_name;
    }
}

void PgnFile::open_read(ByteSource& source) {
    if (&source != owned_input_.get()) close_read();
    input_ = &source;
    reading_ = true;
    at_start_ = true;
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(buffer_size_);
}

void PgnFile::open_write(const std::string& file_name) {
    if (output_.is_open()) output_.close();
    output_.clear();
    output_.open(file_name, std::ios::out | std::ios::app | std::ios::binary);
    if (output_.is_open()) output_.clear();
}

const std::string& PgnFile::read_first_game() {
    // Nothing read yet means nothing to rewind, which lets a pipe be read as well.
    if (!at_start_ && !input_name_.empty()) open_read(std::string(input_name_));
    return cut_game(true);
}

const std::string& PgnFile::read_next_game() { return cut_game(false); }

void PgnFile::write_game(std::string_view text) {
    output_.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PgnFile::close_read() {
    input_ = nullptr;
    owned_input_.reset();
    input_name_.clear();
    reading_ = false;
    next_ = end_ = nullptr;
    input_exhausted_ = false;
    carried_line_.clear();
}

bool PgnFile::close_write() {
    if (!output_.is_open()) return false;
    output_.close();
    return !output_.fail();
}

const std::string& PgnFile::cut_game(bool strip_byte_order_mark) {
    text_.clear();
    if (!carried_line_.empty()) {
        // The tag line that ended the last text begins this one.
        text_.swap(carried_line_);
        carried_line_.clear();
    } else {
        // Empty lines before a game never belong to it.
        for (;;) {
            if (!append_line()) return text_;
            if (strip_byte_order_mark && text_.starts_with(byte_order_mark)) {
                text_.erase(0, byte_order_mark.size());
                strip_byte_order_mark = false;
            }
            if (!text_.empty()) break;
        }
    }

    bool in_comment = false;
    bool holds_movetext = false;
    int empty_lines = 0;
    std::size_t line_start = 0;
    for (;;) {
        const bool empty = text_.size() == line_start;
        const char first = empty ? '\0' : text_[line_start];
        if (first == '[' && !in_comment) {
            // A tag line after movetext begins the next game; braces in tag values are text.
            if (holds_movetext) {
                carried_line_.assign(text_, line_start);
                text_.resize(line_start);
                break;
            }
        } else {
            if (!empty && first != '%' && !in_comment) holds_movetext = true;
            // Only the last brace of a line decides whether a comment runs on after it.
            for (std::size_t i = text_.size(); i > line_start; --i) {
                const char c = text_[i - 1];
                if (c == '{' || c == '}') {
                    in_comment = c == '{';
                    break;
                }
            }
        }
        text_.push_back('\n');
        if (empty && !in_comment && ++empty_lines == 2) break;
        line_start = text_.size();
        if (!append_line()) break;
    }
    return text_;
}

bool PgnFile::append_line() {
    const std::size_t line_start = text_.size();
    bool found = false;
    for (;;) {
        if (next_ == end_ && !refill()) break;
        found = true;
        const auto available = static_cast<std::size_t>(end_ - next_);
        const auto* line_feed = static_cast<const char*>(std::memchr(next_, '\n', available));
        if (line_feed) {
            text_.append(next_, line_feed);
            next_ = line_feed + 1;
            break;
        }
        text_.append(next_, end_);
        next_ = end_;
    }
    while (text_.size() > line_start && text_.back() == '\r') text_.pop_back();
    return found;
}

bool PgnFile::refill() {
    if (input_exhausted_ || !input_) return false;
    const std::size_t count = input_->read(buffer_.get(), buffer_size_);
    if (count == 0) {
        input_exhausted_ = true;
        return false;
    }
    next_ = buffer_.get();
    end_ = next_ + count;
    at_start_ = false;
    return true;
}

}  // namespace vorline
