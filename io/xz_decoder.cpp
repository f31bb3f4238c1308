#include <lzma.h>

#include <cstdint>
#include <new>

#include "io/stream_decoder.h"

namespace vorline {

namespace {

std::string_view reason(lzma_ret result) {
    switch (result) {
        case LZMA_FORMAT_ERROR:
            return "bad stream header";
        case LZMA_OPTIONS_ERROR:
            return "unsupported options";
        case LZMA_DATA_ERROR:
            return "bad block";
        case LZMA_MEMLIMIT_ERROR:
            return "memory limit reached";
        default:
            return "decoding error";
    }
}

// liblzma decodes concatenated streams and the padding between them by itself, so a
// stream ends only when the whole input has been decoded.
class XzDecoder : public StreamDecoder {
public:
    explicit XzDecoder(const std::string& file_name) : file_name_(file_name) { start(); }
    ~XzDecoder() override { lzma_end(&stream_); }
    XzDecoder(const XzDecoder&) = delete;
    XzDecoder& operator=(const XzDecoder&) = delete;

    bool decode(ByteSpan<const unsigned char>& in, ByteSpan<unsigned char>& out,
                bool input_ends) override {
        point_stream(stream_, in, out);
        const lzma_ret result = lzma_code(&stream_, input_ends ? LZMA_FINISH : LZMA_RUN);
        if (result == LZMA_MEM_ERROR) throw std::bad_alloc();
        // LZMA_BUF_ERROR: no progress was possible, which the caller sees by itself.
        if (result != LZMA_OK && result != LZMA_STREAM_END && result != LZMA_BUF_ERROR)
            throw_corrupt(file_name_, Compression::xz, reason(result));
        advance_spans(stream_, in, out);
        return result == LZMA_STREAM_END;
    }

    void restart() override {
        lzma_end(&stream_);
        start();
    }

private:
    void start() {
        stream_ = LZMA_STREAM_INIT;
        const lzma_ret result = lzma_stream_decoder(&stream_, UINT64_MAX, LZMA_CONCATENATED);
        if (result == LZMA_MEM_ERROR) throw std::bad_alloc();
        if (result != LZMA_OK) throw_corrupt(file_name_, Compression::xz, reason(result));
    }

    const std::string& file_name_;
    lzma_stream stream_ = LZMA_STREAM_INIT;
};

}  // namespace

std::unique_ptr<StreamDecoder> make_xz_decoder(const std::string& file_name) {
    return std::make_unique<XzDecoder>(file_name);
}

}  // namespace vorline
