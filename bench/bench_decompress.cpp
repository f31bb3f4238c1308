// vorline-bench decompress <file> [<file>...]: how fast each file is read through the input
// stack (the file, and its decoder when it is compressed), timed against the first file in
// the same invocation: give the plain file first and its compressed forms after it. Each
// file is read whole in 1 MB blocks, three times, in turns; the best time counts.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_command.h"
#include "pgn/compressed_input.h"
#include "pgn/file_source.h"

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

int bench_decompress(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: vorline-bench decompress <plain file> [<compressed file>...]\n");
        return 2;
    }
    const std::vector<std::string> paths(argv + 1, argv + argc);
    std::vector<Pass> best(paths.size());
    try {
        for (int round = 0; round < 3; ++round)
            for (std::size_t i = 0; i < paths.size(); ++i) {
                const Pass pass = read_through_stack(paths[i]);
                if (pass.seconds < best[i].seconds) best[i] = pass;
            }
        int status = 0;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const bool same =
                best[i].bytes == best[0].bytes && best[i].checksum == best[0].checksum;
            std::printf("%-5s %-40s %8.1f MB/s  %6.3f s  x%.2f the time of the first%s\n",
                        compression_name(format_of(paths[i])).data(), paths[i].c_str(),
                        double(best[i].bytes) / best[i].seconds / 1e6, best[i].seconds,
                        best[i].seconds / best[0].seconds, same ? "" : "  (other text!)");
            if (!same) status = 1;
        }
        return status;
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
