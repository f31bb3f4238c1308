// Fuzz target: FEN reading, then move generation and making and taking back every move
// (see fen_moves_check.h).
#include <cstddef>
#include <cstdint>

#include "checks/fen_moves_check.h"
#include "fuzz/fuzz_support.h"

using namespace vorline;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    run_check([&] { check_fen_moves(as_text(data, size)); });
    return 0;
}
