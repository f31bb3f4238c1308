#include <cstdio>
#include <string_view>
#include <vector>

#include "bench_command.h"

namespace vorline {

namespace {

struct BenchEntry {
    std::string_view name;
    std::string_view usage;
    BenchFunction run;
};

std::vector<BenchEntry>& registry() {
    static std::vector<BenchEntry> entries;
    return entries;
}

int usage() {
    std::fprintf(stderr, "usage: vorline-bench <command> [arguments]\ncommands:\n");
    for (const BenchEntry& entry : registry())
        std::fprintf(stderr, "  %.*s %.*s\n", int(entry.name.size()), entry.name.data(),
                     int(entry.usage.size()), entry.usage.data());
    return 2;
}

}  // namespace

BenchRegistration::BenchRegistration(std::string_view name, std::string_view usage,
                                     BenchFunction run) {
    registry().push_back({name, usage, run});
}

}  // namespace vorline

int main(int argc, char** argv) {
    using namespace vorline;
    if (argc < 2) return usage();
    for (const BenchEntry& entry : registry())
        if (entry.name == argv[1]) return entry.run(argc - 1, argv + 1);
    return usage();
}
