// vorline-bench decompress <file> [<file>...]: how fast each file is read through the input
// stack (the file, and its decoder when it is compressed), timed against the first file in
// the same invocation: give the plain file first and its compressed forms after it. Each
// file is read whole in 1 MB blocks, and cut into game texts, three times, in turns; the
// best times count. Cutting shows how much of the decoding the reader's own work hides.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_command.h"
#include "io/compressed_input.h"
#include "io/file_source.h"
#include "pgn/pgn_file.h"

namespace vorline {

namespace {

struct Pass {
    double seconds = 1e300;
    std::uint64_t bytes = 0;
    std::uint64_t checksum = 0;  // of every 4096th byte: tells whether the texts agree
};

std::unique_ptr<FileSource> open_file(const std::string& path) {
    auto file = FileSource::open(path);
    if (!file) throw InputError(path + ": cannot be opened");
    return file;
}

Compression format_of(const std::string& path) {
    char first[compression_magic_size];
    auto file = open_file(path);
    std::size_t size = 0;
    while (size < sizeof first)
        if (const std::size_t count = file->read(first + size, sizeof first - size))
            size += count;
        else
            break;
    return compression_of({first, size});
}

Pass read_through_stack(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    auto source = open_decompressed(open_file(path), path);
    std::vector<char> block(std::size_t{1} << 20);
    Pass pass;
    while (const std::size_t count = source->read(block.data(), block.size())) {
        for (std::size_t i = (4096 - pass.bytes % 4096) % 4096; i < count; i += 4096)
            pass.checksum = pass.checksum * 31 + static_cast<unsigned char>(block[i]);
        pass.bytes += count;
    }
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return pass;
}

Pass cut_through_stack(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    auto source = open_decompressed(open_file(path), path);
    PgnFile games;
    games.open_read(*source);
    Pass pass;
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
        pass.checksum = pass.checksum * 31 + static_cast<unsigned char>(text->back());
        pass.bytes += text->size();
    }
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return pass;
}

// Prints one line; false when the file's text differs from the first file's.
bool report(const char* what, const std::string& path, const Pass& pass, const Pass& first) {
    const bool same = pass.bytes == first.bytes && pass.checksum == first.checksum;
    std::printf("%-5s %-6s %-36s %8.1f MB/s  %6.3f s  x%.2f the time of the first%s\n",
                compression_name(format_of(path)).data(), what, path.c_str(),
                double(pass.bytes) / pass.seconds / 1e6, pass.seconds, pass.seconds / first.seconds,
                same ? "" : "  (other text!)");
    return same;
}

int bench_decompress(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: vorline-bench decompress <plain file> [<compressed file>...]\n");
        return 2;
    }
    const std::vector<std::string> paths(argv + 1, argv + argc);
    std::vector<Pass> read(paths.size()), cut(paths.size());
    try {
        for (int round = 0; round < 3; ++round)
            for (std::size_t i = 0; i < paths.size(); ++i) {
                const Pass r = read_through_stack(paths[i]), c = cut_through_stack(paths[i]);
                if (r.seconds < read[i].seconds) read[i] = r;
                if (c.seconds < cut[i].seconds) cut[i] = c;
            }
        bool same = true;
        for (std::size_t i = 0; i < paths.size(); ++i)
            same = report("read", paths[i], read[i], read[0]) && same;
        for (std::size_t i = 0; i < paths.size(); ++i)
            same = report("cut", paths[i], cut[i], cut[0]) && same;
        return same ? 0 : 1;
    } catch (const InputError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

const BenchRegistration registration("decompress",
                                     "<plain file> [<compressed file>...]   read through the "
                                     "input stack, against the first file",
                                     bench_decompress);

}  // namespace

}  // namespace vorline
