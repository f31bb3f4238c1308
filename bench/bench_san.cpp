// vorline-bench san <pgn file> [rounds]: speed of SAN reading and writing on the main lines
// of real games, against legal-move generation alone on the same positions.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_command.h"
#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move_list.h"
#include "checks/mainline_games.h"
#include "notation/san_move.h"

namespace vorline {

namespace {

// The games as replayed once: the start position, the tokens that resolved and their
// moves. A game stops at its first token that names no legal move.
struct Replay {
    std::string fen;  // empty for the standard start
    std::vector<std::string> tokens;
    std::vector<Move> moves;
};

void set_up(ChessPosition& position, const Replay& game) {
    if (game.fen.empty())
        position.set_start_position();
    else
        position.fen(game.fen);
}

std::vector<Replay> prepare(const std::vector<MainlineGame>& games, ChessPosition& position,
                            std::size_t& skipped_tokens) {
    std::vector<Replay> replays;
    skipped_tokens = 0;
    for (const MainlineGame& game : games) {
        if (!game.is_standard_chess()) continue;
        Replay replay;
        replay.fen = game.fen;
        try {
            set_up(position, replay);
        } catch (const FenError&) {
            continue;
        }
        for (std::size_t i = 0; i < game.moves.size(); ++i) {
            Move move;
            try {
                move = SanMove(position, game.moves[i]).move();
            } catch (const SanError&) {
                skipped_tokens += game.moves.size() - i;
                break;
            }
            replay.tokens.push_back(game.moves[i]);
            replay.moves.push_back(move);
            position.make_move(move);
        }
        replays.push_back(std::move(replay));
    }
    return replays;
}

// Generation alone: what every token costs at the least.
double run_generation(ChessPosition& position, const std::vector<Replay>& replays,
                      std::uint64_t& check) {
    const double start = processor_seconds();
    MoveList moves;
    for (const Replay& game : replays) {
        set_up(position, game);
        for (Move move : game.moves) {
            position.generate_legal_moves(moves);
            check += moves.count();
            position.make_move(move);
        }
    }
    return processor_seconds() - start;
}

double run_reading(ChessPosition& position, const std::vector<Replay>& replays,
                   std::uint64_t& check) {
    const double start = processor_seconds();
    SanMove san(position);
    for (const Replay& game : replays) {
        set_up(position, game);
        for (const std::string& token : game.tokens) {
            san = token;
            check += san.move().word() & 0xFF;
            position.make_move(san.move());
        }
    }
    return processor_seconds() - start;
}

double run_writing(ChessPosition& position, const std::vector<Replay>& replays,
                   std::uint64_t& check) {
    const double start = processor_seconds();
    for (const Replay& game : replays) {
        set_up(position, game);
        for (Move move : game.moves) {
            const SanMove san(position, move);
            check += san.text().size();
            position.make_move(move);
        }
    }
    return processor_seconds() - start;
}

int run(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorline-bench san <pgn file> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string text = read_whole_file(argv[1]);
    if (text.empty()) {
        std::fprintf(stderr, "san: cannot read %s\n", argv[1]);
        return 2;
    }

    AttackTables tables;
    ChessPosition position(tables);
    std::size_t skipped = 0;
    const std::vector<Replay> replays = prepare(read_mainline_games(text), position, skipped);
    std::size_t tokens = 0;
    for (const Replay& game : replays) tokens += game.tokens.size();
    std::printf("%zu games, %zu tokens resolved (%zu tokens after an unresolvable one left out)\n",
                replays.size(), tokens, skipped);
    if (tokens == 0) return 1;

    // Best of the rounds for each pass, the passes interleaved so that they see the same
    // machine load.
    double generation = 1e300, reading = 1e300, writing = 1e300;
    std::uint64_t check = 0;
    for (int round = 0; round < rounds; ++round) {
        generation = std::min(generation, run_generation(position, replays, check));
        reading = std::min(reading, run_reading(position, replays, check));
        writing = std::min(writing, run_writing(position, replays, check));
    }
    const double n = double(tokens);
    std::printf("generation alone (reference): %10.0f positions/s\n", n / generation);
    std::printf("reading SAN:                  %10.0f tokens/s   time ratio to reference %.2f\n",
                n / reading, reading / generation);
    std::printf("writing SAN:                  %10.0f moves/s    time ratio to reference %.2f\n",
                n / writing, writing / generation);
    std::printf(
        "(each pass also makes every move; best of %d rounds, processor time; checksum %llu)\n",
        rounds, static_cast<unsigned long long>(check));
    return 0;
}

const BenchRegistration registration("san", "<pgn file> [rounds]   SAN reading and writing speed",
                                     run);

}  // namespace

}  // namespace vorline
