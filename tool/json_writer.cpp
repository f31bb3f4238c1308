#include "tool/json_writer.h"

#include <cmath>
#include <cstdio>

namespace vorline {

namespace {

// The length of the valid UTF-8 sequence that starts `text`, or 0 when its first byte
// starts none (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF
// or cut short).
std::size_t utf8_sequence_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    if (first < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        if (first == 0xE0) low = 0xA0;
        if (first == 0xED) high = 0x9F;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        if (first == 0xF0) low = 0x90;
        if (first == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

}  // namespace

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (filled_.empty()) return;
    if (filled_.back()) text_ += ',';
    filled_.back() = true;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    before_value();
    if (filled_.size() == 1) text_ += "\n  ";  // the top level's members, one per line
    append_string(name);
    text_ += ':';
    after_key_ = true;
    return *this;
}

void JsonWriter::begin_object() {
    before_value();
    text_ += '{';
    filled_.push_back(false);
}

void JsonWriter::end_object() {
    if (filled_.size() == 1) text_ += '\n';
    filled_.pop_back();
    text_ += '}';
    if (filled_.empty()) text_ += '\n';
}

void JsonWriter::begin_array() {
    before_value();
    text_ += '[';
    filled_.push_back(false);
}

void JsonWriter::end_array() {
    filled_.pop_back();
    text_ += ']';
}

void JsonWriter::value(std::string_view text) {
    before_value();
    append_string(text);
}

void JsonWriter::value(std::uint64_t number) {
    before_value();
    text_ += std::to_string(number);
}

void JsonWriter::value(std::int64_t number) {
    before_value();
    text_ += std::to_string(number);
}

void JsonWriter::value(double number) {
    before_value();
    if (!std::isfinite(number)) {
        text_ += "null";
        return;
    }
    char digits[64];
    const int n = std::snprintf(digits, sizeof digits, "%.3f", number);
    text_.append(digits, n > 0 ? std::size_t(n) : 0);
}

void JsonWriter::value(bool flag) {
    before_value();
    text_ += flag ? "true" : "false";
}

void JsonWriter::null() {
    before_value();
    text_ += "null";
}

void JsonWriter::append_string(std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    text_ += '"';
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text[0]);
        const std::size_t length = utf8_sequence_length(text);
        if (length == 0) {
            text_ += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += char(c);
        } else if (c == '\n') {
            text_ += "\\n";
        } else if (c == '\t') {
            text_ += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            text_ += "\\u00";
            text_ += hex[c >> 4];
            text_ += hex[c & 15];
        } else {
            text_.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    text_ += '"';
}

}  // namespace vorline
