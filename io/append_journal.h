// AppendJournal: an output's size before a run appends to it, kept in a file beside it until
// the run's output is on the disk, so that the next run can undo a run that ended abruptly.
#pragma once

#include <string>

#include "io/output_file.h"

namespace vorline {

// The journal of an output lives beside the file the output's name leads to, named after it
// with ".vorline-journal" added. A run records it before it appends a byte and removes it
// once everything it wrote is on the disk, so a journal found by a run that holds the
// output's lock was left by a run that ended abruptly (SIGKILL, a crash, a power cut).
class AppendJournal {
public:
    explicit AppendJournal(const OutputFile& output);

    const std::string& path() const { return path_; }

    // When a journal of `output` is there, cuts the output back to the size it records
    // (unless the run had got as far as renaming its temporary file into place), removes the
    // temporary file it names and then the journal. Returns true when the output was longer
    // and was cut back. A torn journal (its run ended while writing it, before
    // appending anything) is removed alone; an output that is another file than the one
    // recorded is not cut. Call while holding the output's lock. Throws OutputError.
    bool roll_back(OutputFile& output);

    // Records the output's size as opened and the run's temporary file (none when empty;
    // made after this, renamed into place once the output is whole), on the disk before it
    // returns. False when no journal can be written beside the output
    // (a read-only folder): the run then goes on without one, as before journals.
    bool record(const OutputFile& output, const std::string& temporary);

    // Removes a recorded journal, on the disk before it returns. Throws OutputError.
    void remove();
    // Removes a recorded journal if it can. Never throws.
    void discard() noexcept;

private:
    std::string path_;
    std::string output_name_;
    bool recorded_ = false;
};

}  // namespace vorline
