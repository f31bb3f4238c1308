#include "san_fast_path.h"

#include <exception>
#include <stdexcept>

#include "board/move_list.h"
#include "mainline_games.h"
#include "notation/san_move.h"
#include "notation_support.h"

namespace {

std::string reading(ChessPosition& position, std::string_view token, bool direct) {
    SanMove san(position);
    try {
        if (direct) san = token;
        else san.assign_by_generation(token);
        return "move " + std::to_string(san.move().word()) + " (" + san.move().dump() + ")";
    } catch (const std::logic_error& e) {
        return std::string("error: ") + e.what() + " / move " + std::to_string(san.move().word());
    }
}

std::string check_mark(ChessPosition& position, Move move) {
    if (!move.check()) return "";
    const std::string text = SanMove(position, move).text();
    return text.substr(text.size() - 1);
}

}  // namespace

std::vector<std::string> fast_path_differences(ChessPosition& position, const std::vector<std::string>& tokens) {
    std::vector<std::string> differences;
    const std::uint64_t key = position.hash();
    const std::size_t history = position.history().size();
    for (const std::string& token : tokens) {
        const std::string fast = reading(position, token, true);
        const std::string full = reading(position, token, false);
        if (fast != full)
            differences.push_back("\"" + token + "\" at " + position.fen() + "\n  fast: " + fast + "\n  full: " + full);
        if (position.hash() != key || position.history().size() != history)
            differences.push_back("\"" + token + "\" changed the position, now " + position.fen());
    }
    return differences;
}

std::vector<std::string> legal_move_spellings(ChessPosition& position) {
    std::vector<std::string> tokens;
    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move& move : moves) {
        const std::string san = SanMove(position, move).text();
        const std::string mark = check_mark(position, move);
        std::string bare = san;
        if (!mark.empty()) bare.pop_back();
        tokens.push_back(san);
        tokens.push_back(bare);
        tokens.push_back(bare + "+");
        tokens.push_back(bare + "#");
        tokens.push_back(san + "!");
        tokens.push_back(san + "?!");
        tokens.push_back(bare + "!!");
        tokens.push_back(move.coordinate_text());
        tokens.push_back(move.coordinate_text(true));
        if (move.is_castling()) continue;

        const Square from = move.from(), to = move.to();
        const std::string letter = move.piece().is_pawn() ? "" : std::string(1, "?PNBRQK?"[move.piece().kind()]);
        const std::string dest = std::string(1, to.file_letter()) + to.rank_digit();
        std::string suffix;
        if (move.is_promotion()) suffix = std::string("=") + "QRBN"[move.code() - Move::promo_queen];
        const std::string origin_file(1, from.file_letter()), origin_rank(1, from.rank_digit());
        for (const std::string& origin : {std::string(), origin_file, origin_rank, origin_file + origin_rank}) {
            for (const std::string& x : {std::string(), std::string("x")}) {
                tokens.push_back(letter + origin + x + dest + suffix + mark);
                if (move.is_promotion()) {
                    tokens.push_back(letter + origin + x + dest + mark);       // queen by default
                    tokens.push_back(letter + origin + x + dest + "=N");       // another piece
                    tokens.push_back(letter + origin + x + dest + "=K");       // malformed
                }
            }
        }
        // A suffix on a move that is no promotion.
        if (!move.is_promotion()) tokens.push_back(letter + origin_file + dest + "=Q");
    }
    return tokens;
}

std::vector<std::string> destination_grid(std::string_view hints) {
    std::vector<std::string> tokens;
    for (const std::string letter : {"", "N", "B", "R", "Q", "K", "P"}) {
        for (char file = 'a'; file <= 'h'; ++file) {
            for (char rank = '1'; rank <= '8'; ++rank) {
                const std::string dest = std::string(1, file) + rank;
                tokens.push_back(letter + dest);
                for (char hint : hints) tokens.push_back(letter + hint + "x" + dest);
                if (rank == '1' || rank == '8') {
                    tokens.push_back(letter + dest + "=R");
                    if (!hints.empty()) tokens.push_back(letter + hints.front() + "x" + dest + "=B");
                }
            }
        }
    }
    return tokens;
}

std::vector<std::string> replay_fast_path(std::string_view pgn_text, std::size_t spellings_every,
                                          std::size_t& tokens_compared, std::size_t limit) {
    std::vector<std::string> differences;
    ChessPosition position(shared_tables());
    std::size_t positions = 0;
    const auto add = [&](const std::vector<std::string>& found) {
        for (const std::string& d : found)
            if (differences.size() < limit) differences.push_back(d);
    };
    for (const MainlineGame& game : read_mainline_games(pgn_text)) {
        if (!game.is_standard_chess()) continue;
        try {
            if (game.fen.empty()) position.set_start_position();
            else position.fen(game.fen);
        } catch (const std::exception&) {
            continue;
        }
        for (const std::string& token : game.moves) {
            if (spellings_every != 0 && ++positions % spellings_every == 0) {
                const std::vector<std::string> spellings = legal_move_spellings(position);
                tokens_compared += spellings.size();
                add(fast_path_differences(position, spellings));
            }
            ++tokens_compared;
            add(fast_path_differences(position, {token}));
            SanMove san(position);
            try {
                san = token;
            } catch (const std::logic_error&) {
                break;  // the game ends at a token that does not resolve
            }
            position.make_move(san.move());
        }
    }
    return differences;
}
