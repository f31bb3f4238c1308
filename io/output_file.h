// OutputFile: a file the run writes, locked against other runs and cut back on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vorline {

// A write, flush or close of an output file failed (a full disk, a file grown past its
// limit, an I/O error).
class OutputError : public std::runtime_error {
public:
    OutputError(const std::string& file_name, const std::string& reason)
        : std::runtime_error(file_name + ": " + reason), file_name_(file_name) {}
    const std::string& file_name() const { return file_name_; }

private:
    std::string file_name_;
};

// Which file a descriptor leads to, whatever name or link it was opened by.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
    // Null for a descriptor the system cannot describe.
    static FileIdentity of(int descriptor);
};

// Opening neither empties nor writes the file: that is left to empty() and write(), so a
// run that stops before its second phase leaves every file as it was. Writes go to the end
// through a buffer, in whole pieces as given.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the named file for appending, created if absent; false when it cannot be, with
    // errno telling why. Throws Interrupted when a signal breaks off an open that waits (a
    // fifo with no reader).
    bool open(const std::string& file_name);
    // Creates the file at `path`, which must not exist yet, with the permission bits `mode`,
    // called `shown_name` in errors; false when it cannot (errno tells why).
    bool create_new(const std::string& path, const std::string& shown_name, unsigned mode);
    // Creates a new file with a unique name that begins with `prefix` (mode 0600), called
    // `shown_name` in errors; false when it cannot (errno tells why).
    bool create_unique(const std::string& prefix, const std::string& shown_name);
    // Takes an exclusive advisory lock on a regular file; false when another process holds
    // one. A device or a pipe is shared (every run may write to /dev/null).
    bool lock();
    FileIdentity identity() const { return identity_; }
    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }
    bool regular() const { return regular_; }
    // Whether open() made the file (it did not exist before the run).
    bool created() const { return created_; }
    // The permission bits of the file as opened.
    unsigned mode() const { return mode_; }
    std::uint64_t size_at_open() const { return size_at_open_; }
    // The file's size now, on the disk (without what is buffered).
    std::uint64_t size() const;

    // Cuts a regular file back to `size` when it is longer, durably, and counts that size as
    // the one it had when opened; false when it was not longer. Throws OutputError.
    bool shorten_to(std::uint64_t size);

    // Empties the file (a regular file only; a device stays as it is).
    void empty();
    void write(std::string_view text);
    // Writes what is buffered; with `durably`, waits until the file is on the disk.
    void flush(bool durably = false);
    // Hands every buffer written from now on to the disk at once, without waiting, so that
    // the durable flush at the end finds little left to wait for.
    void write_behind() { writes_behind_ = true; }
    // Writes what is buffered and closes the file.
    void close();
    // Drops what is buffered and cuts the file back to the size it had when opened (after
    // empty(): to nothing), durably, then closes it; a file that open() created is removed.
    // Returns false when the file could not be cut back. Never throws.
    bool cut_back() noexcept;
    // Removes the file by its path when open() created it and the path still leads to it.
    void remove_if_created() noexcept;

private:
    int descriptor_ = -1;
    std::string name_;
    std::string path_;
    FileIdentity identity_;
    std::uint64_t size_at_open_ = 0;
    unsigned mode_ = 0;
    bool regular_ = false;
    bool created_ = false;
    bool changed_ = false;
    bool writes_behind_ = false;  // written to or emptied since it was opened
    std::string buffer_;
};

}  // namespace vorline
