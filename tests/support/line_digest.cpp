#include "support/line_digest.h"

#include <fstream>
#include <ostream>
#include <vector>

void LineDigest::add_line(std::string_view line) {
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return;
    ++lines;
    bytes += line.size();
    for (const char c : line) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    hash = (hash ^ '\n') * 0x100000001b3ULL;
}

void LineDigest::add_text(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        add_line(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

LineDigest digest_of_file(const std::string& path) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(1 << 20);
    std::string line;
    LineDigest digest;
    auto finish_line = [&] {
        std::string_view view = line;
        if (digest.lines == 0 && view.starts_with(byte_order_mark)) view.remove_prefix(3);
        digest.add_line(view);
        line.clear();
    };
    while (in.read(block.data(), std::streamsize(block.size())) || in.gcount() > 0) {
        const std::string_view data(block.data(), std::size_t(in.gcount()));
        for (const char c : data) {
            if (c == '\n')
                finish_line();
            else
                line.push_back(c);
        }
    }
    finish_line();
    return digest;
}
