// SAN check: any token read as a SAN move, made, taken back, written and read again.
#pragma once

// Reads any token as a SAN move on positions drawn from a list (the first byte of the input picks
// one; the rest is the token). A resolved move must be one of the position's legal moves; making
// and taking it back must restore the position; its SAN text, written and read again, gives the
// same move. A rejected token must fail with the reader's SanError.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "checks/check_support.h"
#include "notation/san_move.h"

namespace vorline {

namespace san_check {

constexpr std::array<std::string_view, 14> positions = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "8/P1k5/K7/8/8/8/8/8 w - - 0 1",
    "4k3/3p1p2/8/4P3/4K3/8/8/8 b - - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/4P3/2N2N2/PPPP1PPP/R1BQKB1R w KQkq - 4 4",
    "bqnb1rkr/pp3ppp/3ppn2/2p5/5P2/P2P4/NPP1P1PP/BQ1BNRKR w HFhf - 2 9",
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",
    "R6k/6pp/8/8/8/8/8/6K1 b - - 0 1",
    "1r2k2r/8/8/8/8/8/8/R3K2R w KQk - 0 1",
    "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
};

}  // namespace san_check

inline void check_san(std::string_view input) {
    using namespace san_check;
    static const AttackTables tables;
    static ChessPosition position(tables);
    if (input.empty()) return;
    position.fen(positions[static_cast<unsigned char>(input[0]) % positions.size()]);
    const std::string fen_before = position.fen();
    const std::uint64_t key_before = position.hash();
    const std::string_view token = input.substr(1);

    SanMove san(position);
    try {
        san = token;
    } catch (const SanError&) {
        require(position.fen() == fen_before && position.hash() == key_before,
                "a rejected token leaves the position unchanged");
        return;
    }
    const Move move = san.move();
    require(san.text() == token, "the token is kept as given");
    require(position.fen() == fen_before, "reading leaves the position unchanged");
    require(position.is_legal_move(move), "a resolved move is a legal move");

    const SanMove written(position, move);
    const SanMove read_again(position, written.text());
    require(read_again.move() == move, "written SAN reads back to the same move");

    position.make_move(move);
    position.unmake_move();
    require(position.fen() == fen_before && position.hash() == key_before,
            "make and take back restore the position");
}

}  // namespace vorline
