#include <isa-l/igzip_lib.h>

#include <cstdint>

#include "io/stream_decoder.h"

namespace vorline {

namespace {

std::string_view reason(int result) {
    switch (result) {
        case ISAL_INVALID_BLOCK:
            return "invalid deflate block";
        case ISAL_INVALID_SYMBOL:
            return "invalid deflate symbol";
        case ISAL_INVALID_LOOKBACK:
            return "invalid back-reference distance";
        case ISAL_INVALID_WRAPPER:
            return "invalid gzip header or trailer";
        case ISAL_UNSUPPORTED_METHOD:
            return "compression method other than deflate";
        case ISAL_INCORRECT_CHECKSUM:
            return "checksum mismatch";
        case ISAL_NEED_DICT:
            return "preset dictionary required";
        default:
            return "decoding error";
    }
}

// isa-l's inflate, which parses the gzip header and checks the trailer's checksum itself.
class GzipDecoder : public StreamDecoder {
public:
    explicit GzipDecoder(const std::string& file_name)
        : file_name_(file_name), state_(std::make_unique<inflate_state>()) {
        restart();
    }

    bool decode(ByteSpan<const unsigned char>& in, ByteSpan<unsigned char>& out, bool) override {
        point_stream(*state_, in, out);
        const int result = isal_inflate(state_.get());
        if (result < 0 || result == ISAL_NEED_DICT)
            throw_corrupt(file_name_, Compression::gzip, reason(result));
        advance_spans(*state_, in, out);
        return state_->block_state == ISAL_BLOCK_FINISH;
    }

    void restart() override {
        isal_inflate_init(state_.get());
        state_->crc_flag = ISAL_GZIP;
    }

private:
    const std::string& file_name_;
    std::unique_ptr<inflate_state> state_;  // large: tens of kilobytes of tables
};

}  // namespace

std::unique_ptr<StreamDecoder> make_gzip_decoder(const std::string& file_name) {
    return std::make_unique<GzipDecoder>(file_name);
}

}  // namespace vorline
