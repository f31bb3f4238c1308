// Tool run texts: the small games, EPD lines and answers that the fault tests share.
#pragma once

#include <string>

namespace vorline {

inline const std::string games =
    "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 *\n\n[Event \"B\"]\n\n1. d4 d5 *\n\n";
inline const std::string found = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\n";
inline const std::string unfound = "8/8/8/4k3/8/8/3QK3/8 w - -\n";
inline const std::string earlier_output = "[Event \"earlier run\"]\n\n1. e4 *\n\n";
// The answer to `found`.
inline const std::string found_game =
    "[Event \"?\"]\n[Site \"?\"]\n[Date \"????.??.??\"]\n[Round \"1\"]\n[White \"?\"]\n"
    "[Black \"?\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 *\n\n";

// `count` EPD lines, alternately found and not found.
inline std::string epd_lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += i % 2 ? unfound : found;
    return text;
}

}  // namespace vorline
