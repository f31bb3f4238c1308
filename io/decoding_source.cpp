#include "io/decoding_source.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "io/thread_start_error.h"

namespace vorline {

namespace {

constexpr std::size_t input_size = std::size_t{1} << 20;

std::unique_ptr<StreamDecoder> make_decoder(Compression format, const std::string& file_name) {
    switch (format) {
        case Compression::zstd:
            return make_zstd_decoder(file_name);
        case Compression::gzip:
            return make_gzip_decoder(file_name);
        case Compression::bzip2:
            return make_bzip2_decoder(file_name);
        case Compression::xz:
            return make_xz_decoder(file_name);
        case Compression::none:
            break;
    }
    throw std::invalid_argument("no decoder for uncompressed input");
}

}  // namespace

DecodingSource::DecodingSource(std::unique_ptr<ByteSource> file, Compression format,
                               std::string_view first_bytes, std::string file_name)
    : file_(std::move(file)),
      file_name_(std::move(file_name)),
      format_(format),
      decoder_(make_decoder(format, file_name_)),
      input_(std::make_unique<unsigned char[]>(std::max(input_size, first_bytes.size()))) {
    std::memcpy(input_.get(), first_bytes.data(), first_bytes.size());
    unread_ = {input_.get(), first_bytes.size()};
    for (Block& block : blocks_) block.bytes = std::make_unique<unsigned char[]>(block_size);
    try {
        thread_ = std::thread(&DecodingSource::decode_blocks, this);
    } catch (const std::system_error& error) {
        throw ThreadStartError(file_name_ + ": " + error.what());
    }
}

DecodingSource::~DecodingSource() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::size_t DecodingSource::read(char* buffer, std::size_t size) {
    if (size == 0) return 0;
    if (!current_) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return taken_ < filled_ || finished_; });
        if (taken_ == filled_) {
            if (error_) std::rethrow_exception(error_);
            return 0;
        }
        current_ = &blocks_[taken_ % block_count];
        position_ = 0;
    }
    const std::size_t count = std::min(size, current_->size - position_);
    std::memcpy(buffer, current_->bytes.get() + position_, count);
    position_ += count;
    if (position_ == current_->size) {
        current_ = nullptr;
        {
            std::lock_guard lock(mutex_);
            ++taken_;
        }
        changed_.notify_all();
    }
    return count;
}

void DecodingSource::decode_blocks() {
    try {
        for (;;) {
            Block* block;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return stopping_ || filled_ - taken_ < block_count; });
                if (stopping_) return;
                block = &blocks_[filled_ % block_count];
            }
            // The reader never touches a block outside [taken_, filled_).
            const std::size_t size = decode_into(block->bytes.get(), block_size);
            block->size = size;
            {
                std::lock_guard lock(mutex_);
                if (size == 0)
                    finished_ = true;
                else
                    ++filled_;
            }
            changed_.notify_all();
            if (size == 0) return;
        }
    } catch (const std::exception&) {
        // A read error, corrupt data or exhausted memory is handed to the reader, which
        // throws it again, as it was, in its own thread.
        {
            std::lock_guard lock(mutex_);
            error_ = std::current_exception();
            finished_ = true;
        }
        changed_.notify_all();
    }
}

std::size_t DecodingSource::decode_into(unsigned char* block, std::size_t size) {
    ByteSpan<unsigned char> out{block, size};
    while (out.size > 0) {
        if (unread_.size == 0 && !input_ended_) {
            const std::size_t count =
                file_->read(reinterpret_cast<char*>(input_.get()), input_size);
            unread_ = {input_.get(), count};
            input_ended_ = count == 0;
        }
        // The input may end only where a stream ends (or, for an empty file, never began).
        if (unread_.size == 0 && input_ended_ && between_streams_) break;
        if (between_streams_ && format_ == Compression::gzip && skip_zero_padding()) {
            if (input_ended_) break;
            continue;
        }
        if (between_streams_) {
            decoder_->restart();
            between_streams_ = false;
        }
        const std::size_t unread_before = unread_.size, room_before = out.size;
        between_streams_ = decoder_->decode(unread_, out, input_ended_);
        if (!between_streams_ && unread_.size == unread_before && out.size == room_before) {
            if (input_ended_)
                throw InputError(file_name_ + ": truncated " +
                                 std::string(compression_name(format_)) +
                                 " data (the file ends inside a compressed stream)");
            throw_corrupt(file_name_, format_, "the decoder cannot go on");
        }
    }
    return size - out.size;
}

bool DecodingSource::skip_zero_padding() {
    // No gzip member begins with a zero byte: once one follows the last member, every byte
    // after it must be zero too.
    if (!zero_padding_ && (unread_.size == 0 || unread_.data[0] != 0)) return false;
    zero_padding_ = true;
    while (unread_.size > 0 && unread_.data[0] == 0) {
        ++unread_.data;
        --unread_.size;
    }
    if (unread_.size > 0) throw_corrupt(file_name_, format_, "bytes after the zero padding");
    return true;
}

void throw_corrupt(const std::string& file_name, Compression format, std::string_view detail) {
    throw InputError(file_name + ": corrupt " + std::string(compression_name(format)) + " data (" +
                     std::string(detail) + ")");
}

}  // namespace vorline
