#include "board/magic_moves.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "board/board_errors.h"

namespace vorline {

namespace {

constexpr int bishop_steps[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
constexpr int rook_steps[4][2] = {{0, 1}, {1, 0}, {-1, 0}, {0, -1}};

// Every square stepped onto from `square` in four directions, each direction ending at
// the board's edge or at (and including) the first occupied square.
Bitboard walk_rays(std::uint32_t square, Bitboard occupancy, const int (&steps)[4][2]) {
    Bitboard attacks = 0;
    for (const auto& step : steps) {
        int file = int(square & 7), rank = int(square >> 3);
        for (;;) {
            file += step[0];
            rank += step[1];
            if (file < 0 || file > 7 || rank < 0 || rank > 7) break;
            const Bitboard bit = square_table[8 * rank + file];
            attacks |= bit;
            if (occupancy & bit) break;
        }
    }
    return attacks;
}

Bitboard bishop_rays_inside(std::uint32_t square) {
    return walk_rays(square, 0, bishop_steps) & ~(rank_1 | rank_8 | file_a | file_h);
}

Bitboard rook_rays_inside(std::uint32_t square) {
    const Bitboard rank = rank_mask(square >> 3) & ~(file_a | file_h);
    const Bitboard file = file_mask(square & 7) & ~(rank_1 | rank_8);
    return (rank | file) & ~square_table[square];
}

// The square's full table: the attack set of every subset of the mask, stored at its
// magic index. Entries no subset reaches stay 0. Returns false when two subsets with
// different attack sets share an index (a multiplier that does not fit the square).
bool fill_full_table(std::uint32_t square, Bitboard mask, MagicPair magic, bool bishop,
                     std::vector<Bitboard>& table) {
    table.assign(std::size_t{1} << (64 - magic.shift), 0);
    std::vector<bool> reached(table.size());
    Bitboard subset = 0;
    do {  // every subset of the mask, the empty one first
        const Bitboard attacks = walk_rays(square, subset, bishop ? bishop_steps : rook_steps);
        const std::size_t i = (subset * magic.multiplier) >> magic.shift;
        if (reached[i] && table[i] != attacks) return false;
        reached[i] = true;
        table[i] = attacks;
        subset = (subset - mask) & mask;
    } while (subset != 0);
    return true;
}

// The distinct sets of a square's table, ascending, and the number of each entry's set
// among them; false when there are more than a byte can name. The sets are told apart by a
// small hash table rather than by sorting the whole table: a rook's table has up to 4,096
// entries but at most 144 distinct sets, and every run builds the tables at start-up.
bool number_sets(const std::vector<Bitboard>& table, std::vector<Bitboard>& distinct,
                 std::vector<std::uint8_t>& numbers) {
    constexpr unsigned hash_bits = 10;
    std::array<Bitboard, std::size_t{1} << hash_bits> keys;
    std::array<std::int16_t, std::size_t{1} << hash_bits> slot_set;  // -1: empty slot
    slot_set.fill(-1);
    const auto slot_of = [&keys, &slot_set](Bitboard set) {
        std::size_t slot = (set * 0x9E3779B97F4A7C15ull) >> (64 - hash_bits);
        while (slot_set[slot] >= 0 && keys[slot] != set) slot = (slot + 1) & (keys.size() - 1);
        return slot;
    };
    distinct.clear();
    for (const Bitboard set : table) {
        const std::size_t slot = slot_of(set);
        if (slot_set[slot] >= 0) continue;
        if (distinct.size() == 256) return false;
        keys[slot] = set;
        slot_set[slot] = 0;
        distinct.push_back(set);
    }
    std::sort(distinct.begin(), distinct.end());
    for (std::size_t n = 0; n < distinct.size(); ++n)
        slot_set[slot_of(distinct[n])] = std::int16_t(n);
    numbers.clear();
    for (const Bitboard set : table) numbers.push_back(std::uint8_t(slot_set[slot_of(set)]));
    return true;
}

}  // namespace

const std::array<MagicPair, 64> MagicMoves::bishop_constants = {{
    // rank 1
    {0x014501040C040041, 58},
    {0x000921040C004602, 59},
    {0x8021021400402002, 59},
    {0x8004242280404200, 59},
    {0x0804030800108200, 59},
    {0x2001040240080080, 59},
    {0x0001040104400808, 59},
    {0x0084808800900444, 58},
    // rank 2
    {0x1200100411980200, 59},
    {0x0000B01080908480, 59},
    {0x0005088081020090, 59},
    {0x1091041C21828802, 59},
    {0x0004020210240020, 59},
    {0x3081011002101580, 59},
    {0x1500408824100408, 59},
    {0x2420020100880540, 59},
    // rank 3
    {0x0860904002840122, 59},
    {0x8022003110021082, 59},
    {0x2042001004001820, 57},
    {0x4A0800A402102440, 57},
    {0x0884000A00940008, 57},
    {0x0912006022100200, 57},
    {0x0411044200822000, 59},
    {0x0002012101092100, 59},
    // rank 4
    {0x00A0840808080800, 59},
    {0x0204022004080801, 59},
    {0x1118020001020200, 57},
    {0x0C01001214004202, 54},
    {0x0001040006002104, 55},
    {0x0008002042020100, 57},
    {0x0044010200680250, 59},
    {0x00040050410100B0, 59},
    // rank 5
    {0x009050060A100400, 59},
    {0x041210040002A880, 59},
    {0x4811084104080800, 57},
    {0x000B200800030811, 55},
    {0x80840040101C0100, 55},
    {0x8012080600204040, 57},
    {0x0808880040010100, 59},
    {0x0018309282010040, 59},
    // rank 6
    {0x0428040484066080, 59},
    {0x6202085404500200, 59},
    {0x2400824240420800, 57},
    {0x820400D148003400, 57},
    {0x4240200410404C00, 57},
    {0x0040020055000610, 57},
    {0x0C60084604A00040, 59},
    {0x028102020A000049, 59},
    // rank 7
    {0x400480842021C040, 59},
    {0x0002020124421984, 59},
    {0x4100410088041048, 59},
    {0x0040800084040400, 59},
    {0x8200011002020416, 59},
    {0x05480810010A0A11, 59},
    {0x0010101148428000, 59},
    {0xA002840802004040, 59},
    // rank 8
    {0x0002020622020210, 58},
    {0x0000228048280401, 59},
    {0x0102500044041122, 59},
    {0x4421100400420880, 59},
    {0x0840084010420200, 59},
    {0x0002453012108104, 59},
    {0x0210C00508120441, 59},
    {0x0C40020821002482, 58},
}};

const std::array<MagicPair, 64> MagicMoves::rook_constants = {{
    // rank 1
    {0x108001228011C002, 52},
    {0xA04010004004E000, 53},
    {0x008020008010000A, 53},
    {0x0200084200100420, 53},
    {0x0200081020040200, 53},
    {0x0600019002002824, 53},
    {0x040050811008020C, 53},
    {0x0100004881000126, 52},
    // rank 2
    {0x0005800440008020, 53},
    {0x2882002042090880, 54},
    {0x0002802000801004, 54},
    {0x0240808010000800, 54},
    {0x4480800800040082, 54},
    {0x0408808004000200, 54},
    {0x00BA0004A8020001, 54},
    {0x1106000042040091, 53},
    // rank 3
    {0x0020208010400080, 53},
    {0x0022060045028020, 54},
    {0x0020008020100080, 54},
    {0x0202020008102041, 54},
    {0x0C50808008000400, 54},
    {0x0068808002000400, 54},
    {0x00510400C8100201, 54},
    {0x400006000100A444, 53},
    // rank 4
    {0x483424818008400A, 53},
    {0x8840008080200040, 54},
    {0x0800100080802000, 54},
    {0x092100210010010C, 54},
    {0x0248008080080C00, 54},
    {0x9124040080020080, 54},
    {0x0089000300040E00, 54},
    {0x080001020020488C, 53},
    // rank 5
    {0x9040002040800080, 53},
    {0x80D0002001400242, 54},
    {0x0000401901002002, 54},
    {0x0030220901001000, 54},
    {0x0080580005003100, 54},
    {0x0022006C0A001008, 54},
    {0x0802301144001248, 54},
    {0x0020010042000084, 53},
    // rank 6
    {0x4AC0400084228004, 53},
    {0x0010004020004000, 54},
    {0x3110004020010100, 54},
    {0x0598100009050020, 54},
    {0x4200080011010004, 54},
    {0x00001004080A0005, 53},
    {0x8800020810040001, 54},
    {0x5201010080420004, 53},
    // rank 7
    {0x100B124063800100, 53},
    {0x7808200240048980, 54},
    {0x8800200010008080, 54},
    {0x1099201001000900, 54},
    {0x0100050010080100, 54},
    {0x0400800200040080, 54},
    {0x2040280190020400, 54},
    {0x00100C0100608200, 53},
    // rank 8
    {0x0000201241088202, 52},
    {0x1040002042801B01, 53},
    {0x0124090010200041, 53},
    {0x0831002004081001, 53},
    {0x0423020902200C06, 52},
    {0x80010002040008C1, 53},
    {0x0208008122081004, 53},
    {0x82010000820C2145, 52},
}};

struct MagicMoves::Compressed {
    std::array<Slider, 64> bishop{};
    std::array<Slider, 64> rook{};
    std::vector<std::uint8_t> bishop_index, rook_index, bishop_pext_index, rook_pext_index;
    std::vector<Bitboard> bishop_sets, rook_sets;

    Compressed() {
        build(true, bishop, bishop_index, bishop_pext_index, bishop_sets);
        build(false, rook, rook_index, rook_pext_index, rook_sets);
    }
};

const MagicMoves::Compressed& MagicMoves::compressed() {
    static const Compressed tables;  // a throw leaves it unbuilt; the next call tries again
    return tables;
}

MagicMoves::MagicMoves() : bishop_(compressed().bishop), rook_(compressed().rook) {}

void MagicMoves::build(bool bishop, std::array<Slider, 64>& sliders,
                       std::vector<std::uint8_t>& index, std::vector<std::uint8_t>& pext_index,
                       std::vector<Bitboard>& sets) {
    const char* error =
        bishop ? "MagicMoves error(1) in constructor" : "MagicMoves error(2) in constructor";
    const auto& constants = bishop ? bishop_constants : rook_constants;
    std::array<std::size_t, 64> index_start{}, pext_start{}, set_start{};
    std::vector<Bitboard> table, distinct;
    std::vector<std::uint8_t> numbers;
    for (std::uint32_t s = 0; s < 64; ++s) {
        const Bitboard mask = bishop ? bishop_rays_inside(s) : rook_rays_inside(s);
        if (!fill_full_table(s, mask, constants[s], bishop, table)) throw TableError(error);
        if (!number_sets(table, distinct, numbers)) throw TableError(error);

        index_start[s] = index.size();
        set_start[s] = sets.size();
        index.insert(index.end(), numbers.begin(), numbers.end());
        sets.insert(sets.end(), distinct.begin(), distinct.end());
        sliders[s] = {mask,
                      constants[s].multiplier,
                      nullptr,
                      nullptr,
                      nullptr,
                      std::uint32_t(constants[s].shift),
                      std::uint32_t(distinct.size())};
#if defined(__BMI2__)
        // The same set numbers, at the index pext gives each subset of the mask.
        pext_start[s] = pext_index.size();
        pext_index.resize(pext_index.size() + (std::size_t{1} << popcount(mask)));
        Bitboard subset = 0;
        do {
            pext_index[pext_start[s] + _pext_u64(subset, mask)] =
                index[index_start[s] + ((subset * constants[s].multiplier) >> constants[s].shift)];
            subset = (subset - mask) & mask;
        } while (subset != 0);
#endif
    }
    // The storage has stopped growing; point every square at its part.
    for (std::uint32_t s = 0; s < 64; ++s) {
        sliders[s].index = index.data() + index_start[s];
        sliders[s].pext_index = pext_index.empty() ? nullptr : pext_index.data() + pext_start[s];
        sliders[s].sets = sets.data() + set_start[s];
    }
}

MagicPair MagicMoves::bishop_magic(std::uint32_t square) const {
    return {bishop_[square].multiplier, bishop_[square].shift};
}

MagicPair MagicMoves::rook_magic(std::uint32_t square) const {
    return {rook_[square].multiplier, rook_[square].shift};
}

std::span<const std::uint8_t> MagicMoves::bishop_index(std::uint32_t square) const {
    return {bishop_[square].index, std::size_t{1} << (64 - bishop_[square].shift)};
}

std::span<const std::uint8_t> MagicMoves::rook_index(std::uint32_t square) const {
    return {rook_[square].index, std::size_t{1} << (64 - rook_[square].shift)};
}

std::span<const Bitboard> MagicMoves::bishop_sets(std::uint32_t square) const {
    return {bishop_[square].sets, bishop_[square].set_count};
}

std::span<const Bitboard> MagicMoves::rook_sets(std::uint32_t square) const {
    return {rook_[square].sets, rook_[square].set_count};
}

namespace {

std::string hex(Bitboard value) {
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

bool MagicMoves::selftest_ok() const {
    for (int pass = 0; pass < 2; ++pass) {
        const bool bishop = pass == 0;
        for (std::uint32_t s = 0; s < 64; ++s) {
            const auto sets = bishop ? bishop_sets(s) : rook_sets(s);
            for (std::size_t i = 0; i < sets.size(); ++i)
                for (std::size_t j = i + 1; j < sets.size(); ++j)
                    if (sets[i] == sets[j]) {
                        std::cout << "\nMagicMoves::selftest_ok() error in "
                                  << (bishop ? "bishopattacks" : "rookattacks") << "   square=" << s
                                  << "   i=" << i << "   j=" << j << std::endl;
                        return false;
                    }
        }
    }
    std::vector<Bitboard> table;
    for (int pass = 0; pass < 2; ++pass) {
        const bool bishop = pass == 0;
        for (std::uint32_t s = 0; s < 64; ++s) {
            const Slider& slider = bishop ? bishop_[s] : rook_[s];
            const Bitboard mask = bishop ? bishop_rays_inside(s) : rook_rays_inside(s);
            const bool fits =
                fill_full_table(s, mask, {slider.multiplier, slider.shift}, bishop, table);
            for (std::size_t i = 0; i < table.size(); ++i) {
                const Bitboard looked_up = slider.sets[slider.index[i]];
                if (fits && looked_up == table[i] && mask == slider.mask) continue;
                std::cout << "square=" << s << "\nindex=" << i << '\n'
                          << (bishop ? "magic_bishop_moves: " : "magic_rook_moves: ")
                          << hex(table[i]) << '\n'
                          << (bishop ? "bishop_attacks: " : "rook_attacks: ") << hex(looked_up)
                          << std::endl;
                return false;
            }
        }
    }
    return true;
}

}  // namespace vorline
