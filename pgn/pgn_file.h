// PgnFile: a PGN input cut into game texts, or an output file that game texts are appended to.
#pragma once

#include <cstddef>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_source.h"

namespace vorline {

// A PGN file seen as a sequence of game texts, read one at a time, or an output file that
// game texts are appended to. One object normally does one of the two.
//
// Cutting. A line is what stands before a line feed, with the carriage returns at its end
// dropped; a last line without a line break counts too. Lines are read with a comment flag,
// clear at the start of every game text. Each line is one of:
// - a tag line: it begins with "[" while the flag is clear (no white space before it; a
//   byte-order mark is removed first, see read_first_game). Braces in it are text.
// - an escape line: it begins with "%". Braces in it count.
// - an empty line.
// - any other line, including one begun inside a comment. Braces in it count. Begun while
//   the flag is clear, it is a movetext line (so is a line of spaces or tabs).
// A brace counts as: "{" sets the flag, "}" clears it. A game text is then:
// 1. Empty lines are skipped; the first other line begins the text.
// 2. Lines are added in turn, each followed by a line feed, until one of:
//    - a tag line comes while the text holds a movetext line: it is not added, and begins
//      the next game text (so games need no empty line between them, and the two empty
//      lines that otherwise end a game text need not be there);
//    - the second empty line of the text that comes while the flag is clear has been
//      added (empty lines inside a brace comment do not count);
//    - the input ends.
// An empty text means that no game is left. A read error is never taken for the end of the
// input: the source's InputError goes to the caller.
//
// Reading uses a large block buffer and one reused text: the game text returned by
// read_first_game() and read_next_game() is a reference to storage inside the object that
// stays valid until the next read or until the input is closed. Copy it to keep it.
class PgnFile {
public:
    static constexpr std::size_t default_buffer_size = std::size_t{1} << 18;

    explicit PgnFile(std::size_t buffer_size = default_buffer_size);
    PgnFile(const PgnFile&) = delete;
    PgnFile& operator=(const PgnFile&) = delete;

    // Closes the input if open, then opens the named file; is_reading() tells whether it
    // could be opened.
    void open_read(const std::string& file_name);
    // Closes the input if open, then reads from `source`, which the caller keeps alive
    // until the input is closed. Such an input is read once: it is never rewound.
    void open_read(ByteSource& source);
    // Closes the output if open, then opens the named file for appending (created if
    // absent, existing contents kept); is_writing() tells whether it could be opened.
    void open_write(const std::string& file_name);

    // Rewinds to the beginning of the file and cuts the first game text; a UTF-8
    // byte-order mark at the beginning of the file's first non-empty line is removed.
    // Nothing is rewound before the first read, and an input opened on a source never is.
    const std::string& read_first_game();
    // Cuts the game text that follows the last one read.
    const std::string& read_next_game();

    // Appends the text exactly as it stands: no separator, no flush.
    void write_game(std::string_view text);

    void close_read();
    // Closes the output; returns true when it was open and every write, the final flush
    // and the close succeeded, so that a full disk is not mistaken for success.
    bool close_write();

    bool is_reading() const { return reading_; }
    bool is_writing() const { return output_.is_open() && output_.good(); }

private:
    const std::string& cut_game(bool strip_byte_order_mark);
    // Appends the next line to text_ without its line break or trailing carriage
    // returns; false when the input holds no further line.
    bool append_line();
    bool refill();

    std::string input_name_;                   // the file opened by name, reopened to rewind
    std::unique_ptr<ByteSource> owned_input_;  // the source of a file opened by name
    ByteSource* input_ = nullptr;
    std::ofstream output_;
    bool reading_ = false;

    std::size_t buffer_size_;
    std::unique_ptr<char[]> buffer_;
    const char* next_ = nullptr;  // unread part of the buffer: [next_, end_)
    const char* end_ = nullptr;
    bool input_exhausted_ = false;
    bool at_start_ = true;  // nothing has been read since the input was opened or rewound

    std::string text_;
    std::string carried_line_;  // a tag line that ended the last text and begins the next
};

}  // namespace vorline
