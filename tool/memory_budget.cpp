#include "tool/memory_budget.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

namespace vorline {

namespace {

namespace fs = std::filesystem;

// The number a control group's file holds; none for "max", a value too large to be a
// limit (v1 writes about 2^63 for none), or a file that is not there.
std::optional<std::uint64_t> read_amount(const fs::path& file) {
    std::ifstream in(file);
    std::uint64_t value = 0;
    if (!(in >> value) || value >= (std::uint64_t{1} << 62)) return std::nullopt;
    return value;
}

// The least room of the group at `relative` below `top` and of the groups above it, up to
// `top`.
std::optional<std::uint64_t> room_up_from(const fs::path& top, const fs::path& relative,
                                          const char* limit_file, const char* use_file) {
    fs::path group = relative.empty() ? top : top / relative;
    std::optional<std::uint64_t> least;
    for (;;) {
        if (const std::optional<std::uint64_t> limit = read_amount(group / limit_file)) {
            const std::uint64_t used = read_amount(group / use_file).value_or(0);
            const std::uint64_t room = *limit > used ? *limit - used : 0;
            least = std::min(least.value_or(room), room);
        }
        if (group == top || !group.has_relative_path() || group.parent_path() == group) break;
        group = group.parent_path();
    }
    return least;
}

std::optional<std::uint64_t> least_of(std::optional<std::uint64_t> a,
                                      std::optional<std::uint64_t> b) {
    if (!a) return b;
    if (!b) return a;
    return std::min(*a, *b);
}

}  // namespace

std::optional<std::uint64_t> cgroup_memory_room(const std::string& root,
                                                const std::string& self_cgroup) {
    std::optional<std::uint64_t> room;
    std::istringstream lines(self_cgroup);
    std::string line;
    while (std::getline(lines, line)) {
        // "<id>:<controllers>:<path>": v2's line has no controllers, v1's memory line names
        // "memory" among them.
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string_view controllers(line.data() + first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        const fs::path relative = fs::path(path).relative_path();
        if (controllers.empty()) {
            // v2, mounted at the root or, beside v1, under unified/.
            for (const fs::path& top : {fs::path(root), fs::path(root) / "unified"})
                room = least_of(room, room_up_from(top, relative, "memory.max", "memory.current"));
        } else {
            std::istringstream names{std::string(controllers)};
            for (std::string name; std::getline(names, name, ',');) {
                if (name != "memory") continue;
                const fs::path top = fs::path(root) / "memory";
                room = least_of(room, room_up_from(top, relative, "memory.limit_in_bytes",
                                                   "memory.usage_in_bytes"));
            }
        }
    }
    return room;
}

std::uint64_t default_memory_budget() {
    std::optional<std::uint64_t> available;
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        if (!line.starts_with("MemAvailable:")) continue;
        std::istringstream fields(line.substr(13));
        std::uint64_t kibibytes = 0;
        if (fields >> kibibytes) available = kibibytes * 1024;
        break;
    }
    std::ifstream self("/proc/self/cgroup");
    const std::string groups((std::istreambuf_iterator<char>(self)),
                             std::istreambuf_iterator<char>());
    available = least_of(available, cgroup_memory_room("/sys/fs/cgroup", groups));
    if (!available) return ~std::uint64_t{0};  // unknown: no bound
    return *available / 4 * 3;
}

}  // namespace vorline
