// StreamDecoder: one compression library's decoder, fed and drained in spans of bytes.
#pragma once

#include <cstddef>
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

// A decoder of the given format; `file_name` names the input in its error messages.
std::unique_ptr<StreamDecoder> make_zstd_decoder(const std::string& file_name);
std::unique_ptr<StreamDecoder> make_gzip_decoder(const std::string& file_name);
std::unique_ptr<StreamDecoder> make_bzip2_decoder(const std::string& file_name);
std::unique_ptr<StreamDecoder> make_xz_decoder(const std::string& file_name);

// Throws the InputError of corrupt data: "<file>: corrupt <format> data (<detail>)".
[[noreturn]] void throw_corrupt(const std::string& file_name, Compression format,
                                std::string_view detail);

}  // namespace vorline
