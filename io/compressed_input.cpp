#include "io/compressed_input.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "io/decoding_source.h"

namespace vorline {

namespace {

// Reads the first bytes of `file`, then gives them, and everything after them, either
// straight from the file or through a decoder, as they tell.
class FormatTellingSource : public ByteSource {
public:
    FormatTellingSource(std::unique_ptr<ByteSource> file, std::string file_name)
        : file_(std::move(file)), file_name_(std::move(file_name)) {}

    std::size_t read(char* buffer, std::size_t size) override {
        if (decoded_) return decoded_->read(buffer, size);
        if (!told_) tell_format();
        if (decoded_) return decoded_->read(buffer, size);
        // Plain: the first bytes, then the file as it comes.
        const std::size_t count = std::min(size, first_size_ - first_given_);
        std::memcpy(buffer, first_ + first_given_, count);
        first_given_ += count;
        if (count == size) return count;
        return count + file_->read(buffer + count, size - count);
    }

private:
    void tell_format() {
        // A pipe may deliver the magic number in pieces; an input shorter than it is text.
        while (first_size_ < compression_magic_size) {
            const std::size_t count =
                file_->read(first_ + first_size_, compression_magic_size - first_size_);
            if (count == 0) break;
            first_size_ += count;
        }
        told_ = true;
        const std::string_view first(first_, first_size_);
        const Compression format = compression_of(first);
        if (format != Compression::none)
            decoded_ = std::make_unique<DecodingSource>(std::move(file_), format, first,
                                                        std::move(file_name_));
    }

    std::unique_ptr<ByteSource> file_;
    std::string file_name_;
    std::unique_ptr<ByteSource> decoded_;
    bool told_ = false;
    char first_[compression_magic_size];
    std::size_t first_size_ = 0;
    std::size_t first_given_ = 0;
};

}  // namespace

Compression compression_of(std::string_view first_bytes) {
    const auto begins = [first_bytes](std::string_view magic) {
        return first_bytes.starts_with(magic);
    };
    using namespace std::string_view_literals;
    if (begins("\x28\xB5\x2F\xFD"sv)) return Compression::zstd;
    // A skippable frame, which pzstd writes before each frame it compresses.
    if (first_bytes.size() >= 4 && (first_bytes[0] & 0xF0) == 0x50 &&
        first_bytes.substr(1, 3) == "\x2A\x4D\x18"sv)
        return Compression::zstd;
    if (begins("\x1F\x8B"sv)) return Compression::gzip;
    if (first_bytes.size() >= 4 && begins("BZh"sv) && first_bytes[3] >= '1' &&
        first_bytes[3] <= '9')
        return Compression::bzip2;
    if (begins("\xFD"
               "7zXZ\0"sv))
        return Compression::xz;
    return Compression::none;
}

std::string_view compression_name(Compression format) {
    switch (format) {
        case Compression::zstd:
            return "zstd";
        case Compression::gzip:
            return "gzip";
        case Compression::bzip2:
            return "bzip2";
        case Compression::xz:
            return "xz";
        case Compression::none:
            break;
    }
    return "plain";
}

std::unique_ptr<ByteSource> open_decompressed(std::unique_ptr<ByteSource> file,
                                              std::string file_name) {
    return std::make_unique<FormatTellingSource>(std::move(file), std::move(file_name));
}

}  // namespace vorline
