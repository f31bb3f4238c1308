// WrittenFile: a file written whole before anyone sees it, under a temporary name or none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vorline {

// A file written front to back through a buffer, in one of two kinds:
// - replacing: created under a unique temporary name beside its target and renamed over it
//   by commit(), after it is on the disk; until then an existing file at the target is
//   untouched, and a WrittenFile that goes without commit() removes its temporary file;
// - scratch: created in a folder and unlinked at once, so that nothing of it is left behind
//   however the process ends; it is read back through its descriptor.
// Failed writes throw OutputError with the name given for messages.
class WrittenFile {
public:
    WrittenFile() = default;
    ~WrittenFile();
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;

    // False when the file cannot be created.
    bool create_replacing(const std::string& target);
    bool create_scratch(const std::string& folder, const std::string& shown_name);

    void write(std::span<const std::byte> bytes);
    void write(std::string_view text) { write(std::as_bytes(std::span(text))); }
    // Writes `bytes` at `offset`, which lies within what is already written and flushed.
    void write_at(std::uint64_t offset, std::span<const std::byte> bytes);
    // Writes zero bytes up to the next multiple of `alignment`.
    void pad_to(std::uint64_t alignment);
    // Bytes written so far, buffered ones included.
    std::uint64_t size() const { return size_; }
    // Writes what is buffered; with `durably`, waits until it is on the disk.
    void flush(bool durably = false);
    // Writes what is buffered and gives the buffer's memory back, for a file written whole
    // that stays open to be read.
    void finish_writing() {
        flush();
        std::string().swap(buffer_);
    }

    // A replacing file, flushed to the disk, takes the target's name.
    void commit();

    int descriptor() const { return descriptor_; }
    const std::string& name() const { return shown_name_; }

private:
    int descriptor_ = -1;
    std::string temporary_path_;  // of a replacing file until it is committed
    std::string target_;
    std::string shown_name_;
    std::string buffer_;
    std::uint64_t size_ = 0;
};

}  // namespace vorline
