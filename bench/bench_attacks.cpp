// vorline-bench attacks [millions]: slider lookups of the attack tables against a plain ray
// walk, and the bit-scan and population-count helpers against their table forms, each
// pair timed in the same run so that only the ratios matter.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_command.h"
#include "board/attack_tables.h"

namespace vorline {

namespace {

Bitboard walk(std::uint32_t square, Bitboard occupancy, int file_step, int rank_step) {
    Bitboard reached = 0;
    for (int file = int(square & 7) + file_step, rank = int(square >> 3) + rank_step;
         file >= 0 && file < 8 && rank >= 0 && rank < 8; file += file_step, rank += rank_step) {
        reached |= square_table[8 * rank + file];
        if (occupancy & square_table[8 * rank + file]) break;
    }
    return reached;
}

Bitboard queen_by_walking(std::uint32_t square, Bitboard occupancy) {
    Bitboard attacks = 0;
    for (int file_step = -1; file_step <= 1; ++file_step)
        for (int rank_step = -1; rank_step <= 1; ++rank_step)
            if (file_step || rank_step) attacks |= walk(square, occupancy, file_step, rank_step);
    return attacks;
}

template <typename Function>
double seconds_for(const Function& function) {
    const auto start = std::chrono::steady_clock::now();
    function();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, const char* reference, std::size_t count, double seconds,
            double reference_seconds, Bitboard checksum) {
    std::printf("%-28s %8.1f M/s   %-22s %8.1f M/s   ratio %.1f   (checksum difference %llx)\n",
                what, count / seconds / 1e6, reference, count / reference_seconds / 1e6,
                reference_seconds / seconds, static_cast<unsigned long long>(checksum & 0xFFFF));
}

int run(int argc, char** argv) {
    const std::size_t millions = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    const std::size_t count = millions * 1000000;
    const AttackTables tables;

    std::mt19937_64 random(1);
    std::vector<Bitboard> occupancies(4096);
    for (Bitboard& occupancy : occupancies) occupancy = random() & random();  // about 16 pieces

    Bitboard sum_tables = 0, sum_walk = 0;
    const double magic = seconds_for([&] {
        for (std::size_t i = 0; i < count; ++i)
            sum_tables += tables.queen_attacks(i & 63, occupancies[i & 4095] ^ sum_tables);
    });
    const double walking = seconds_for([&] {
        for (std::size_t i = 0; i < count; ++i)
            sum_walk += queen_by_walking(i & 63, occupancies[i & 4095] ^ sum_walk);
    });
    report("queen attacks (magic)", "ray walk", count, magic, walking, sum_tables ^ sum_walk);

    std::uint64_t scan = 0, scan_table = 0;
    const double builtin_scan = seconds_for([&] {
        for (std::size_t i = 0; i < count; ++i) scan += lowest_square(occupancies[i & 4095] + scan);
    });
    const double table_scan = seconds_for([&] {
        for (std::size_t i = 0; i < count; ++i)
            scan_table += lowest_square_by_table(occupancies[i & 4095] + scan_table);
    });
    report("lowest square (bit scan)", "multiply-and-shift", count, builtin_scan, table_scan,
           scan ^ scan_table);

    std::uint64_t bits = 0, bits_table = 0;
    const double builtin_count = seconds_for([&] {
        for (std::size_t i = 0; i < count; ++i) bits += popcount(occupancies[i & 4095] ^ bits);
    });
    const double table_count = seconds_for([&] {
        for (std::size_t i = 0; i < count; ++i)
            bits_table += popcount_by_table(occupancies[i & 4095] ^ bits_table);
    });
    report("popcount (parallel add)", "16-bit table", count, builtin_count, table_count,
           bits ^ bits_table);
    return 0;
}

const BenchRegistration registration("attacks", "[millions of lookups, default 20]", run);

}  // namespace

}  // namespace vorline
