// JsonWriter: builds the text of one JSON value, such as a run's report, member by member.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorline {

// Writes compact JSON with one member per line at the top level. Strings are escaped as
// JSON requires: quotes, backslashes and control characters, and every byte that is not
// part of valid UTF-8 (a file name may hold any bytes) becomes U+FFFD, so the text is always
// valid UTF-8. The caller keeps the nesting sound: begin_object/end_object and
// begin_array/end_array in pairs, a key before each value inside an object.
class JsonWriter {
public:
    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // The name of the next member of the current object.
    JsonWriter& key(std::string_view name);

    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(std::uint64_t number);
    void value(std::int64_t number);
    void value(int number) { value(std::int64_t{number}); }
    void value(double number);  // with up to three decimals
    void value(bool flag);
    void null();
    // The value, or null when there is none.
    template <class T>
    void value(const std::optional<T>& maybe) {
        if (maybe)
            value(*maybe);
        else
            null();
    }

    const std::string& text() const { return text_; }

private:
    void before_value();
    void append_string(std::string_view text);

    std::string text_;
    // Per open object or array: whether it holds a value yet.
    std::vector<bool> filled_;
    bool after_key_ = false;
};

}  // namespace vorline
