// FileSource: a ByteSource that reads a file, a pipe or a device through its descriptor.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "io/byte_source.h"

namespace vorline {

class FileSource : public ByteSource {
public:
    // Opens the named file for reading: null when it cannot be opened or is a directory,
    // with errno telling why.
    // A named pipe is opened once and read as it comes.
    static std::unique_ptr<FileSource> open(const std::string& file_name);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    // Throws InputError, naming the file, when the system reports a read error, and
    // Interrupted when a signal asks the run to stop while the read waits.
    std::size_t read(char* buffer, std::size_t size) override;

    int descriptor() const { return descriptor_; }
    const std::string& name() const { return name_; }

private:
    static constexpr int stall_check_milliseconds = 100;

    FileSource(int descriptor, std::string name, bool may_stall)
        : descriptor_(descriptor), name_(std::move(name)), may_stall_(may_stall) {}

    int descriptor_;
    std::string name_;
    bool may_stall_;  // a pipe or a device, where a read may wait for long
};

}  // namespace vorline
