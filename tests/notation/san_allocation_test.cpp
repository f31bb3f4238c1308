// Reading and writing SAN sit on the hot path of reading PGN files: once warmed up, they
// allocate nothing per move. Global allocation is counted for this test program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "notation/san_move.h"
#include "notation_support.h"

namespace {
std::size_t allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vorline {

namespace {

// Captures, en passant, a promotion with capture and check, Nbd7, O-O and O-O-O, mate.
const std::vector<std::vector<const char*>> games = {
    {"e4", "Nf6", "e5", "d5", "exd6", "Bd7", "dxc7", "Nc6", "cxd8=Q+", "Rxd8", "Nf3", "e6", "Bb5",
     "Bc5", "O-O", "O-O"},
    {"e4",    "e5",  "Nf3",  "d6",   "d4",  "Bg4", "dxe5",  "Bxf3", "Qxf3", "dxe5",  "Bc4",
     "Nf6",   "Qb3", "Qe7",  "Nc3",  "c6",  "Bg5", "b5",    "Nxb5", "cxb5", "Bxb5+", "Nbd7",
     "O-O-O", "Rd8", "Rxd7", "Rxd7", "Rd1", "Qe6", "Bxd7+", "Nxd7", "Qb8+", "Nxb8",  "Rd8#"}};

TEST(SanAllocation, ReadingAndWritingAllocateNothingOnceWarm) {
    ChessPosition position = position_from(ChessPosition::start_fen);
    SanMove reader(position);
    std::size_t counted = 0;
    for (int round = 0; round < 2; ++round) {  // the first round warms up
        counted = 0;
        for (const std::vector<const char*>& game : games) {
            position.set_start_position();
            for (const char* token : game) {
                const std::size_t before = allocations;
                reader = token;
                const SanMove writer(position, reader.move());
                counted += allocations - before;
                EXPECT_EQ(writer.text(), token);
                position.make_move(reader.move());
            }
        }
    }
    EXPECT_EQ(counted, 0u);
}

}  // namespace

}  // namespace vorline
