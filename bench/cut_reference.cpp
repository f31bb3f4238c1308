#include <chrono>

#include "bench_command.h"
#include "pgn/pgn_file.h"

namespace vorline {

CutPass cut_pgn_file(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    PgnFile file;
    file.open_read(path);
    CutPass pass;
    for (const std::string* text = &file.read_first_game(); !text->empty();
         text = &file.read_next_game()) {
        ++pass.games;
        pass.bytes += text->size();
    }
    pass.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return pass;
}

}  // namespace vorline
