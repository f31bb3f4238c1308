// Checks that reading a SAN token with operator= (which looks only at the pieces that can
// reach the destination) gives exactly what assign_by_generation (which generates every
// legal move) gives: the same move word, check bit included, or the same error text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "board/chess_position.h"

// One line per token on which the two readings differ (empty when all agree); also
// reports a reading that changed the position.
std::vector<std::string> fast_path_differences(ChessPosition& position, const std::vector<std::string>& tokens);

// Every legal move of `position` in many spellings: the SAN as written, without and with
// wrong marks, with full, file or rank origin, with or without "x", with annotations, as
// coordinates, promotions without or with another suffix.
std::vector<std::string> legal_move_spellings(ChessPosition& position);

// Tokens that name every destination square with every piece letter, with the given
// origin hints ("" for none), and promotion suffixes on the last ranks; most are illegal.
std::vector<std::string> destination_grid(std::string_view hints);

// Replays the main lines of a PGN text; each token is compared before it is made, and
// every `spellings_every`-th position (0: none) also has its legal-move spellings
// compared. Returns the differences, at most `limit`, and counts the tokens compared.
std::vector<std::string> replay_fast_path(std::string_view pgn_text, std::size_t spellings_every,
                                          std::size_t& tokens_compared, std::size_t limit = 20);
