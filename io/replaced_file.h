// ReplacedFile: a file a run rewrites whole, under a temporary name renamed over it at the end.
#pragma once

#include <string>

#include "io/output_file.h"

namespace vorline {

// The old file stays open from the start of the run, for its identity and its lock, and is
// never written: the new contents go to a temporary file beside it that takes its place only
// when the run completes, so a run that does not complete leaves the old file (or none) as
// it was. A symbolic link keeps its link: the temporary file goes beside the link's target
// and replaces the target. A file that is not a regular one (a device, a fifo) is written in
// place, as is a file whose folder takes no new file.
class ReplacedFile {
public:
    // Opens the named file, created if absent; false when it cannot be.
    bool open(const std::string& file_name) { return old_.open(file_name); }
    bool lock() { return old_.lock(); }
    FileIdentity identity() const { return old_.identity(); }
    const std::string& name() const { return old_.name(); }

    // Chooses where the new contents go and returns the temporary file's path, empty when
    // the file is written in place. With `follow_links` false, the temporary file replaces
    // the name itself (a link included), so the file a link leads to is never changed.
    const std::string& plan(bool follow_links = true);
    // Begins the new contents where plan() chose and returns the file to write them to; null
    // when another file took the temporary name meanwhile (plan again). The temporary file
    // is made only here, so that a journal can name it before it exists. Throws OutputError.
    OutputFile* begin();

    // Puts the new contents in place, on the disk before it returns. Throws OutputError.
    void commit();
    // Drops the new contents: the temporary file is removed, a file written in place is cut
    // back, and the old file is removed when this run created it. Never throws.
    void abandon() noexcept;

private:
    OutputFile old_;
    OutputFile new_;
    std::string target_;
    std::string temporary_;
    bool in_place_ = false;
};

}  // namespace vorline
