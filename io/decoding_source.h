// DecodingSource: the decoded bytes of a compressed input, decoded ahead in a thread.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "io/byte_source.h"
#include "io/stream_decoder.h"

namespace vorline {

// A thread reads the compressed input and decodes it into a ring of a few large blocks;
// read() copies out of the oldest block and hands it back once emptied. Memory stays at
// the blocks and the decoder's state whatever the input's size, and the reader and the
// decoder each wait only when the other is behind. An error met while reading or decoding
// is thrown by read() once the bytes decoded before it have been read.
class DecodingSource : public ByteSource {
public:
    static constexpr std::size_t block_size = std::size_t{1} << 20;
    static constexpr std::size_t block_count = 4;

    // `first_bytes`, already read from `file`, begin the compressed data.
    DecodingSource(std::unique_ptr<ByteSource> file, Compression format,
                   std::string_view first_bytes, std::string file_name);
    // Stops the thread; it finishes the block it is decoding first.
    ~DecodingSource() override;
    DecodingSource(const DecodingSource&) = delete;
    DecodingSource& operator=(const DecodingSource&) = delete;

    std::size_t read(char* buffer, std::size_t size) override;

private:
    struct Block {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t size = 0;
    };

    void decode_blocks();
    // Fills `block` with decoded bytes: fewer than its size only at the end of the input.
    std::size_t decode_into(unsigned char* block, std::size_t size);
    // Consumes zero bytes after the last gzip member (tape padding, which gzip ignores too);
    // false when the unread bytes do not begin with them.
    bool skip_zero_padding();

    // Used by the thread alone.
    std::unique_ptr<ByteSource> file_;
    const std::string file_name_;
    Compression format_;
    std::unique_ptr<StreamDecoder> decoder_;
    std::unique_ptr<unsigned char[]> input_;
    ByteSpan<const unsigned char> unread_{nullptr, 0};
    bool input_ended_ = false;
    bool between_streams_ = false;
    bool zero_padding_ = false;

    // Shared, under mutex_: blocks [taken_, filled_) are decoded and wait to be read.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::array<Block, block_count> blocks_;
    std::size_t filled_ = 0;
    std::size_t taken_ = 0;
    bool finished_ = false;  // the thread filled its last block or met an error
    std::exception_ptr error_;
    bool stopping_ = false;

    // Used by the reader alone: the block being read, and how far.
    const Block* current_ = nullptr;
    std::size_t position_ = 0;

    std::thread thread_;  // last: started once everything above is in place
};

}  // namespace vorline
