#include "pgn/pgn_layout.h"

#include <charconv>
#include <vector>

namespace vorline {

namespace {

void append_number(std::string& out, std::uint32_t number) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

}  // namespace

void append_tag_section(const ReuseList<std::string>& order, TagMap& tags, std::string& out) {
    for (const std::string& name : order) {
        out += '[';
        out += name;
        out += " \"";
        out += tags[name];
        out += "\"]\n";
    }
    out += '\n';
}

void append_movetext(const GameLines& lines, std::size_t line, bool full, std::string& out) {
    struct Frame {
        std::size_t line;
        std::size_t index;
    };
    std::vector<Frame> stack{{line, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const GameLine& nodes = lines[frame.line];
        if (frame.index >= nodes.size()) {
            stack.pop_back();
            if (stack.empty()) break;
            Frame& parent = stack.back();  // its current node is the variation just written
            out += ')';
            if (parent.index + 1 < lines[parent.line].size()) out += ' ';
            ++parent.index;
            continue;
        }
        const GameNode& node = nodes[frame.index];
        bool wrote = true;
        switch (node.kind) {
            case NodeKind::move:
                if (node.white == 1) {
                    append_number(out, node.move_number);
                    out += ". ";
                } else {
                    const NodeKind before =
                        frame.index == 0 ? NodeKind::unparsed : nodes[frame.index - 1].kind;
                    if (frame.index == 0 ||
                        (full && (before == NodeKind::variation || before == NodeKind::comment))) {
                        append_number(out, node.move_number);
                        out += "... ";
                    }
                }
                out += node.text;
                break;
            case NodeKind::comment:
                wrote = full;
                if (full) {
                    out += '{';
                    out += node.text;
                    out += '}';
                }
                break;
            case NodeKind::nag:
                out += node.text;
                break;
            case NodeKind::variation: {
                wrote = false;
                if (!full) break;
                const auto target = referred_line(node.text);
                if (target && *target > frame.line && *target < lines.size()) {
                    out += '(';
                    stack.push_back({*target, 0});  // `frame` is not used after this
                    continue;
                }
                break;
            }
            case NodeKind::result:
            case NodeKind::unparsed:
                wrote = false;
                break;
        }
        if (wrote && frame.index + 1 < nodes.size()) out += ' ';
        ++frame.index;
    }
}

void wrap_pgn_lines(std::string& text, std::size_t from) {
    std::size_t line_start = from;
    bool overlong = false;  // past 79 characters with no space to break at yet
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            line_start = i + 1;
            overlong = false;
            continue;
        }
        const std::size_t count = i - line_start + 1;
        if (count < 80) continue;
        if (c == ' ' && (overlong || count == 80)) {
            text[i] = '\n';
            line_start = i + 1;
            overlong = false;
            continue;
        }
        if (overlong || count > 80) continue;
        const std::size_t space = text.rfind(' ', i - 1);
        if (space != std::string::npos && space >= line_start) {
            text[space] = '\n';
            line_start = space + 1;
        } else {
            overlong = true;
        }
    }
}

}  // namespace vorline
