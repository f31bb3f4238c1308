// Fuzz target: PgnFile cutting of any byte stream (see pgn_file_check.h).
#include <cstddef>
#include <cstdint>

#include "checks/pgn_file_check.h"
#include "fuzz/fuzz_support.h"

using namespace vorline;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratch_directory() + "/games.pgn";
    run_check([&] { check_pgn_file(as_text(data, size), path); });
    return 0;
}
