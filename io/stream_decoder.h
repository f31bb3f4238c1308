// StreamDecoder: one compression library's decoder, fed and drained in spans of bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "io/compressed_input.h"

namespace vorline {

// Bytes still to be read or room still to be written: a decoder moves `data` past what it
// consumed or produced and shrinks `size` to match.
template <typename Byte>
struct ByteSpan {
    Byte* data;
    std::size_t size;
};

class StreamDecoder {
public:
    virtual ~StreamDecoder() = default;

    // Decodes what it can of `in` into `out`. Returns true when a compressed stream (a
    // zstd frame, a gzip member, a bzip2 or xz stream) has just ended, so that what follows
    // must begin a new one. `input_ends` tells that no bytes follow those in `in`. Throws
    // InputError when the data is corrupt, std::bad_alloc when memory runs out.
    virtual bool decode(ByteSpan<const unsigned char>& in, ByteSpan<unsigned char>& out,
                        bool input_ends) = 0;
    // Prepares to decode a stream that follows the one just ended.
    virtual void restart() = 0;
};

// Points a compression library's stream (its next_in, avail_in, next_out and avail_out)
// at the bytes to read and the room to write, as much of each as its counters can hold.
template <typename Stream>
void point_stream(Stream& stream, ByteSpan<const unsigned char> in, ByteSpan<unsigned char> out) {
    using InCount = decltype(stream.avail_in);
    using OutCount = decltype(stream.avail_out);
    stream.next_in =
        reinterpret_cast<decltype(stream.next_in)>(const_cast<unsigned char*>(in.data));
    stream.avail_in =
        static_cast<InCount>(std::min<std::size_t>(in.size, std::numeric_limits<InCount>::max()));
    stream.next_out = reinterpret_cast<decltype(stream.next_out)>(out.data);
    stream.avail_out = static_cast<OutCount>(
        std::min<std::size_t>(out.size, std::numeric_limits<OutCount>::max()));
}

// Moves `in` and `out` past what the stream pointed at them has consumed and produced.
template <typename Stream>
void advance_spans(const Stream& stream, ByteSpan<const unsigned char>& in,
                   ByteSpan<unsigned char>& out) {
    const auto* next_in = reinterpret_cast<const unsigned char*>(stream.next_in);
    in = {next_in, in.size - static_cast<std::size_t>(next_in - in.data)};
    auto* next_out = reinterpret_cast<unsigned char*>(stream.next_out);
    out = {next_out, out.size - static_cast<std::size_t>(next_out - out.data)};
}

// A decoder of the given format; `file_name` names the input in its error messages.
std::unique_ptr<StreamDecoder> make_zstd_decoder(const std::string& file_name);
std::unique_ptr<StreamDecoder> make_gzip_decoder(const std::string& file_name);
std::unique_ptr<StreamDecoder> make_bzip2_decoder(const std::string& file_name);
std::unique_ptr<StreamDecoder> make_xz_decoder(const std::string& file_name);

// Throws the InputError of corrupt data: "<file>: corrupt <format> data (<detail>)".
[[noreturn]] void throw_corrupt(const std::string& file_name, Compression format,
                                std::string_view detail);

}  // namespace vorline
