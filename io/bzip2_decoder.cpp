#include <bzlib.h>

#include <new>

#include "io/stream_decoder.h"

namespace vorline {

namespace {

class Bzip2Decoder : public StreamDecoder {
public:
    explicit Bzip2Decoder(const std::string& file_name) : file_name_(file_name) { start(); }
    ~Bzip2Decoder() override { BZ2_bzDecompressEnd(&stream_); }
    Bzip2Decoder(const Bzip2Decoder&) = delete;
    Bzip2Decoder& operator=(const Bzip2Decoder&) = delete;

    bool decode(ByteSpan<const unsigned char>& in, ByteSpan<unsigned char>& out, bool) override {
        point_stream(stream_, in, out);
        const int result = BZ2_bzDecompress(&stream_);
        if (result == BZ_MEM_ERROR) throw std::bad_alloc();
        if (result == BZ_DATA_ERROR) throw_corrupt(file_name_, Compression::bzip2, "bad block");
        if (result == BZ_DATA_ERROR_MAGIC)
            throw_corrupt(file_name_, Compression::bzip2, "bad stream header");
        if (result != BZ_OK && result != BZ_STREAM_END)
            throw_corrupt(file_name_, Compression::bzip2, "decoding error");
        advance_spans(stream_, in, out);
        return result == BZ_STREAM_END;
    }

    // libbz2 decodes one stream per initialisation; pbzip2 writes one stream per block.
    void restart() override {
        BZ2_bzDecompressEnd(&stream_);
        start();
    }

private:
    void start() {
        stream_ = bz_stream{};
        if (BZ2_bzDecompressInit(&stream_, 0, 0) != BZ_OK) throw std::bad_alloc();
    }

    const std::string& file_name_;
    bz_stream stream_{};
};

}  // namespace

std::unique_ptr<StreamDecoder> make_bzip2_decoder(const std::string& file_name) {
    return std::make_unique<Bzip2Decoder>(file_name);
}

}  // namespace vorline
