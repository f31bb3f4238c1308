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

    // Opens the named file for appending, created if absent; false when it cannot be,
    // with errno telling why.
    bool open(const std::string& file_name);
    // Creates a new file with a unique name that begins with `prefix`, called `shown_name`
    // in errors; false when it cannot.
    bool create_unique(const std::string& prefix, const std::string& shown_name);
    // Takes an exclusive advisory lock; false when another process holds one.
    bool lock();
    FileIdentity identity() const { return FileIdentity::of(descriptor_); }
    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }
    // The size the file had when opened (0 for anything but a regular file).
    std::uint64_t size_at_open() const { return size_at_open_; }

    // Empties the file (a regular file only; a device stays as it is).
    void empty();
    void write(std::string_view text);
    // Writes what is buffered; with `durably`, waits until the file is on the disk.
    void flush(bool durably = false);
    // Writes what is buffered and closes the file.
    void close();
    // Drops what is buffered and cuts the file back to the size it had when opened (after
    // empty(): to nothing), then closes it. Never throws.
    void cut_back() noexcept;

private:
    int descriptor_ = -1;
    std::string name_;
    std::string path_;
    std::uint64_t size_at_open_ = 0;
    bool regular_ = false;
    std::string buffer_;
};

}  // namespace vorline
