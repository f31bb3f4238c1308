#include <zstd.h>
#include <zstd_errors.h>

#include <new>

#include "io/stream_decoder.h"

namespace vorline {

namespace {

class ZstdDecoder : public StreamDecoder {
public:
    explicit ZstdDecoder(const std::string& file_name)
        : file_name_(file_name), context_(ZSTD_createDCtx()) {
        if (!context_) throw std::bad_alloc();
    }
    ~ZstdDecoder() override { ZSTD_freeDCtx(context_); }
    ZstdDecoder(const ZstdDecoder&) = delete;
    ZstdDecoder& operator=(const ZstdDecoder&) = delete;

    bool decode(ByteSpan<const unsigned char>& in, ByteSpan<unsigned char>& out, bool) override {
        ZSTD_inBuffer input{in.data, in.size, 0};
        ZSTD_outBuffer output{out.data, out.size, 0};
        const std::size_t result = ZSTD_decompressStream(context_, &output, &input);
        if (ZSTD_isError(result)) {
            if (ZSTD_getErrorCode(result) == ZSTD_error_memory_allocation) throw std::bad_alloc();
            throw_corrupt(file_name_, Compression::zstd, ZSTD_getErrorName(result));
        }
        in = {in.data + input.pos, in.size - input.pos};
        out = {out.data + output.pos, out.size - output.pos};
        // 0 once a frame is decoded and flushed; the next call begins the next frame.
        return result == 0;
    }

    void restart() override {}

private:
    const std::string& file_name_;
    ZSTD_DCtx* context_;
};

}  // namespace

std::unique_ptr<StreamDecoder> make_zstd_decoder(const std::string& file_name) {
    return std::make_unique<ZstdDecoder>(file_name);
}

}  // namespace vorline
