// Fuzz target: SAN reading of any token on positions from a list (see san_check.h).
#include <cstddef>
#include <cstdint>

#include "checks/san_check.h"
#include "fuzz/fuzz_support.h"

using namespace vorline;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    run_check([&] { check_san(as_text(data, size)); });
    return 0;
}
