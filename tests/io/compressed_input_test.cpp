#include "io/compressed_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"

namespace vorline {

namespace {

const Compression compressed_formats[] = {Compression::zstd, Compression::gzip, Compression::bzip2,
                                          Compression::xz};

// The text as the format's usual tool compresses it (.ci/run installs the tools).
std::string compress(Compression format, const std::string& text) {
    const char* const tools[] = {"", "zstd -q", "gzip", "bzip2 -1", "xz -1"};
    TempDir dir;
    dir.write("text", text);
    const std::string command = tools[int(format)] + std::string(" -c text > packed");
    const ProcessResult made = run_process("/bin/sh", {"-c", command}, dir.path().string());
    EXPECT_EQ(made.exit_status, 0) << command << ": " << made.err;
    return dir.read("packed");
}

// Bytes given in reads of 1 to 7 bytes, as a pipe may, or in one piece; with `fail`, a
// read error after them.
class MemorySource : public ByteSource {
public:
    MemorySource(std::string bytes, bool trickle, bool fail = false)
        : bytes_(std::move(bytes)), trickle_(trickle), fail_(fail) {}
    std::size_t read(char* buffer, std::size_t size) override {
        if (position_ == bytes_.size() && fail_) throw InputError("disk: I/O error");
        const std::size_t count =
            std::min({size, bytes_.size() - position_, trickle_ ? 1 + position_ % 7 : size});
        std::copy_n(bytes_.data() + position_, count, buffer);
        position_ += count;
        return count;
    }

private:
    std::string bytes_;
    bool trickle_, fail_;
    std::size_t position_ = 0;
};

// Everything the source gives, read in blocks of an odd size.
std::string read_all(ByteSource& source) {
    std::string text, block(65537, '\0');
    while (const std::size_t count = source.read(block.data(), block.size()))
        text.append(block, 0, count);
    return text;
}

std::string read_through(std::string bytes, bool trickle = false, bool fail = false) {
    auto source =
        open_decompressed(std::make_unique<MemorySource>(std::move(bytes), trickle, fail), "in");
    return read_all(*source);
}

// Over 4 MB, so the decoded blocks go round their ring more than once.
const std::string& long_text() {
    static const std::string text = [] {
        std::string text;
        for (int game = 0; text.size() < 4'500'000; ++game)
            text += "[Event \"Game " + std::to_string(game) + "\"]\r\n\r\n1. e4 e5 2. Nf3 " +
                    std::to_string(game * 7919 % 10007) + " 1-0\r\n\r\n";
        return text;
    }();
    return text;
}

TEST(CompressedInputTest, EveryFormatWholeOrConcatenatedReadsAsTheText) {
    const std::string& text = long_text();
    const std::string first = text.substr(0, text.size() / 3), rest = text.substr(first.size());
    for (const Compression format : compressed_formats) {
        SCOPED_TRACE(compression_name(format));
        const std::string whole = compress(format, text);
        // As `cat a.gz b.gz` makes it, or pbzip2 and multi-threaded zstd and xz write.
        const std::string concatenated = compress(format, first) + compress(format, rest);
        for (const bool trickle : {false, true}) {
            EXPECT_EQ(read_through(whole, trickle), text);
            EXPECT_EQ(read_through(concatenated, trickle), text);
        }
        EXPECT_EQ(read_through(compress(format, "")), "") << "an empty stream";
    }
    EXPECT_EQ(read_through(text, true), text);
    // Inputs shorter than a magic number are plain text, even a piece of one.
    for (const std::string short_text : {"", "1", "BZh", "\x1F", "\xFD\x37zX", "\x28\xB5\x2F"})
        EXPECT_EQ(read_through(short_text, true), short_text);
}

TEST(CompressedInputTest, TruncatedCorruptOrUnreadableInputIsAnInputError) {
    const std::string text = long_text().substr(0, 300'000);
    for (const Compression format : compressed_formats) {
        const std::string bytes = compress(format, text);
        std::string flipped = bytes;
        flipped[flipped.size() / 2] ^= 0x10;
        const std::pair<const char*, std::string> cases[] = {
            {"magic number alone", bytes.substr(0, compression_magic_size)},
            {"cut in the middle", bytes.substr(0, bytes.size() / 2)},
            {"last byte missing", bytes.substr(0, bytes.size() - 1)},
            {"a byte changed", flipped},
            {"text after the end", bytes + "1. e4 *\n"},
        };
        for (const auto& [what, input] : cases) {
            SCOPED_TRACE(std::string(compression_name(format)) + ", " + what);
            try {
                read_through(input);
                ADD_FAILURE() << "no error";
            } catch (const InputError& error) {
                const std::string message = error.what();
                EXPECT_TRUE(message.starts_with("in: ") &&
                            message.find(compression_name(format)) != std::string::npos)
                    << message;
            }
        }
        EXPECT_THROW(read_through(bytes, false, true), InputError) << "a read error beneath";
        // A reader that stops early ends the decoding thread.
        auto source = open_decompressed(std::make_unique<MemorySource>(bytes, false), "in");
        char some[100];
        EXPECT_EQ(source->read(some, sizeof some), sizeof some);
    }
    EXPECT_THROW(read_through(text, false, true), InputError);
}

}  // namespace

}  // namespace vorline
