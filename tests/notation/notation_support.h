// Shared helpers of the notation tests: one set of attack tables, positions from FEN,
// and the checks that every legal move of a position survives a SAN round trip.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "board/move.h"
#include "mainline_games.h"

const AttackTables& shared_tables();

// A position on the shared tables, set from `fen`.
ChessPosition position_from(std::string_view fen);

// Path of a file of the reference data; empty when the data is absent.
std::string reference_file(std::string_view relative_path);

// Writes every legal move of `position`, reads the text back and compares; also checks
// that "#" ends exactly the mating moves and that the position is unchanged. Returns one
// line per fault (empty when all is well).
std::vector<std::string> round_trip_faults(ChessPosition& position);

// The FEN texts of the lines of a perft file (FEN, tab, depth, tab, count), each once.
std::vector<std::string> perft_file_positions(const std::string& path);

// A move whose printed SAN differs from the SAN we write for it.
struct SanDifference {
    std::size_t line = 0;  // where the game starts
    std::size_t ply = 0;   // 1 for White's first move
    std::string printed, written, fen;

    // "mate printed as check", "check mark missing", "check mark surplus" (the texts
    // differ in their last mark only), "needless origin" (the printed text names more of
    // the origin square than the legal moves need), or "other".
    std::string kind() const;
    std::string describe() const;
};

// What replaying the main lines of a PGN text showed.
struct ReplayReport {
    std::size_t games = 0;           // standard-chess games replayed
    std::size_t moves = 0;           // moves resolved and made
    std::size_t round_trips = 0;     // positions whose every legal move was round-tripped
    std::vector<SanDifference> differences;
    std::vector<std::string> failures;     // tokens that did not resolve (the game stops)
    std::vector<std::string> round_trip_faults;
};

// Replays every standard-chess game of `pgn_text`: each token is read, the move written
// back and compared with the token (annotation marks "!" and "?" left out), then made.
// Every `round_trip_every`-th position (0: none) also has all its legal moves round-tripped.
ReplayReport replay_games(std::string_view pgn_text, std::size_t round_trip_every);

// How many differences there are of each kind, as "kind: count" lines in kind order.
std::string count_kinds(const std::vector<SanDifference>& differences);
