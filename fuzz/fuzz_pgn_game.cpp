// Fuzz target: reading, stepping through and writing a game from any text (see
// pgn_game_check.h).
#include <cstddef>
#include <cstdint>

#include "checks/pgn_game_check.h"
#include "fuzz/fuzz_support.h"

using namespace vorline;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool silenced = (silence_error_stream(), true);
    (void)silenced;
    run_check([&] { check_pgn_game(as_text(data, size)); });
    return 0;
}
