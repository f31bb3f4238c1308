// Fuzz target: the FEN reader and writer on any text (see fen_check.h).
#include <cstddef>
#include <cstdint>

#include "checks/fen_check.h"
#include "fuzz/fuzz_support.h"

using namespace vorline;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    run_check([&] { check_fen(as_text(data, size)); });
    return 0;
}
