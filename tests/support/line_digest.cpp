#include "support/line_digest.h"

#include <fstream>

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
    std::ifstream in(path, std::ios::binary);
    LineDigest digest;
    for (std::string line; std::getline(in, line);) {
        std::string_view view = line;
        if (digest.lines == 0 && view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);
        digest.add_line(view);
    }
    return digest;
}
