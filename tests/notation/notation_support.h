// Shared helpers of the notation tests: positions from FEN, the reference data, and the
// checks that compare SAN writing with reading, and the reading shortcut with full
// generation, on single positions, move trees and whole PGN texts.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "board/chess_position.h"
#include "mainline_games.h"

ChessPosition position_from(std::string_view fen);

// Path of a file of the reference data; empty when the data is absent.
std::string reference_file(std::string_view relative_path);

// The FEN texts of the lines of a perft file (FEN, tab, depth, tab, count), each once.
std::vector<std::string> perft_file_positions(const std::string& path);

// The first `count` lines, one per line, for failure messages.
std::string first_lines(const std::vector<std::string>& lines, std::size_t count = 10);

// Calls `visit` on the position and on every position up to `depth` plies below it, with
// the ply; the position is as it was afterwards.
void visit_tree(ChessPosition& position, int depth, const std::function<void(ChessPosition&, int)>& visit);

// Writes every legal move, reads the text back and compares, check bit included; also
// checks that "#" ends exactly the mating moves, "+" or "#" exactly the checking ones, and
// that the position is unchanged. One line per fault.
std::vector<std::string> round_trip_faults(ChessPosition& position);

// Reads each token with operator= (the shortcut that looks only at the pieces that can
// reach the destination) and with assign_by_generation: one line per token on which the
// move word (check bit included) or the error text differs, or that changed the position.
std::vector<std::string> fast_path_differences(ChessPosition& position, const std::vector<std::string>& tokens);

// Every legal move in many spellings: as written, without and with wrong marks, with
// annotations, full, file or rank origin, with or without "x", as coordinates, promotions
// without or with another or a malformed suffix, a suffix on a move that is no promotion.
std::vector<std::string> legal_move_spellings(ChessPosition& position);

// Every destination with every piece letter, with the origin hints given, and promotion
// suffixes on the last ranks; most of these tokens are illegal.
std::vector<std::string> destination_grid(std::string_view hints);

// A move whose printed SAN differs from the SAN we write for it.
struct SanDifference {
    std::size_t line = 0, ply = 0;  // where the game starts; 1 for White's first move
    std::string printed, written, fen;

    // "mate printed as check", "check mark missing", "check mark surplus" (only the last
    // mark differs), "needless origin" (more of the origin square than the legal moves
    // need), or "other".
    std::string kind() const;
    std::string describe() const;
};

struct ReplayReport {
    std::size_t games = 0, moves = 0, round_trips = 0, tokens_compared = 0;
    std::vector<SanDifference> differences;
    std::vector<std::string> failures;  // tokens that did not resolve (the game stops there)
    std::vector<std::string> faults;    // round-trip faults and shortcut differences, the first 50
};

// Replays every standard-chess game of `pgn_text`: each token is read with both paths
// and compared, the move written back and compared with the token (annotations left
// out), then made. Every `round_trip_every`-th position has all its legal moves round
// tripped, every `spellings_every`-th their spellings read with both paths (0: none).
ReplayReport replay_games(std::string_view pgn_text, std::size_t round_trip_every, std::size_t spellings_every);

// "kind: count" lines in kind order.
std::string count_kinds(const std::vector<SanDifference>& differences);
