#include "notation_support.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "board/move_list.h"
#include "notation/san_move.h"

ChessPosition position_from(std::string_view fen) {
    static const AttackTables tables;
    ChessPosition position(tables);
    position.fen(fen);
    return position;
}

std::string reference_file(std::string_view relative_path) {
    const std::filesystem::path path = std::filesystem::path(VORLINE_DATA_DIR) / relative_path;
    return std::filesystem::exists(path) ? path.string() : std::string();
}

std::vector<std::string> perft_file_positions(const std::string& path) {
    std::vector<std::string> fens;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (const std::string fen = line.substr(0, line.find('\t')); !fen.empty() && (fens.empty() || fens.back() != fen))
            fens.push_back(fen);
    return fens;
}

std::string first_lines(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < count; ++i) text += lines[i] + "\n";
    return text;
}

void visit_tree(ChessPosition& position, int depth, const std::function<void(ChessPosition&, int)>& visit) {
    const std::function<void(int)> walk = [&](int ply) {
        visit(position, ply);
        if (ply == depth) return;
        MoveList moves;
        position.generate_legal_moves(moves);
        for (const Move move : moves) {
            position.make_move(move);
            walk(ply + 1);
            position.unmake_move();
        }
    };
    walk(0);
}

std::vector<std::string> round_trip_faults(ChessPosition& position) {
    std::vector<std::string> faults;
    const std::uint64_t key = position.hash();
    const std::size_t history = position.history().size();
    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move move : moves) {
        const std::string text = SanMove(position, move).text();
        const auto fault = [&](const std::string& what) {
            faults.push_back(position.fen() + "  " + move.coordinate_text() + " \"" + text + "\": " + what);
        };
        if (position.hash() != key || position.history().size() != history) {
            fault("writing changed the position");
            return faults;
        }
        position.make_move(move);
        MoveList replies;
        position.generate_legal_moves(replies);
        const bool mate = replies.empty() && position.in_check();
        position.unmake_move();
        const char mark = text.empty() ? 0 : text.back();
        if (mate != (mark == '#')) fault(mate ? "mate without \"#\"" : "\"#\" on no mate");
        if (move.check() != (mark == '#' || mark == '+')) fault("check mark differs from check bit");
        try {
            const Move read = SanMove(position, text).move();
            if (read != move) fault("reads back as " + read.coordinate_text() + (read.check() ? " (check)" : ""));
            if (read.word() >> 24 != 0) fault("read move carries an ordering label");
        } catch (const SanError& e) {
            fault(std::string("does not read back: ") + e.what());
        }
    }
    return faults;
}

namespace {

std::string reading(ChessPosition& position, std::string_view token, bool direct) {
    SanMove san(position);
    try {
        if (direct) san = token;
        else san.assign_by_generation(token);
        return "move " + std::to_string(san.move().word()) + " (" + san.move().dump() + ")";
    } catch (const SanError& e) {
        return std::string("error: ") + e.what() + " / move " + std::to_string(san.move().word());
    }
}

}  // namespace

std::vector<std::string> fast_path_differences(ChessPosition& position, const std::vector<std::string>& tokens) {
    std::vector<std::string> differences;
    const std::uint64_t key = position.hash();
    const std::size_t history = position.history().size();
    for (const std::string& token : tokens) {
        const std::string fast = reading(position, token, true), full = reading(position, token, false);
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
        const std::string mark = move.check() ? san.substr(san.size() - 1) : "";
        const std::string bare = san.substr(0, san.size() - mark.size());
        for (const std::string& token : {san, bare, bare + "+", bare + "#", san + "!", san + "?!", bare + "!!",
                                         move.coordinate_text(), move.coordinate_text(true)})
            tokens.push_back(token);
        if (move.is_castling()) continue;

        const Square from = move.from(), to = move.to();
        const std::string letter = move.piece().is_pawn() ? "" : std::string(1, "?PNBRQK?"[move.piece().kind()]);
        const std::string dest{to.file_letter(), to.rank_digit()};
        const std::string file(1, from.file_letter()), rank(1, from.rank_digit());
        const std::string suffix = move.is_promotion() ? std::string{'=', "QRBN"[move.code() - Move::promo_queen]} : "";
        for (const std::string& origin : {std::string(), file, rank, file + rank}) {
            for (const char* x : {"", "x"}) {
                const std::string stem = letter + origin + x + dest;
                tokens.push_back(stem + suffix + mark);
                if (!move.is_promotion()) continue;
                for (const std::string& end : {mark, std::string("=N"), std::string("=K")}) tokens.push_back(stem + end);
            }
        }
        if (!move.is_promotion()) tokens.push_back(letter + file + dest + "=Q");
    }
    return tokens;
}

std::vector<std::string> destination_grid(std::string_view hints) {
    std::vector<std::string> tokens;
    for (const std::string letter : {"", "N", "B", "R", "Q", "K", "P"}) {
        for (char file = 'a'; file <= 'h'; ++file) {
            for (char rank = '1'; rank <= '8'; ++rank) {
                const std::string dest{file, rank};
                tokens.push_back(letter + dest);
                for (char hint : hints) tokens.push_back(letter + hint + "x" + dest);
                if (rank != '1' && rank != '8') continue;
                tokens.push_back(letter + dest + "=R");
                if (!hints.empty()) tokens.push_back(letter + hints.front() + "x" + dest + "=B");
            }
        }
    }
    return tokens;
}

ReplayReport replay_games(std::string_view pgn_text, std::size_t round_trip_every, std::size_t spellings_every) {
    ReplayReport report;
    ChessPosition position = position_from(ChessPosition::start_fen);
    std::size_t positions = 0;
    const auto add_faults = [&](const std::vector<std::string>& found) {
        for (const std::string& fault : found)
            if (report.faults.size() < 50) report.faults.push_back(fault);
    };
    for (const MainlineGame& game : read_mainline_games(pgn_text)) {
        if (!game.is_standard_chess()) continue;
        if (game.fen.empty()) position.set_start_position();
        else position.fen(game.fen);
        ++report.games;
        for (std::size_t ply = 0; ply < game.moves.size(); ++ply) {
            const std::string& token = game.moves[ply];
            ++positions;
            if (round_trip_every != 0 && positions % round_trip_every == 0) {
                add_faults(round_trip_faults(position));
                ++report.round_trips;
            }
            std::vector<std::string> tokens{token};
            if (spellings_every != 0 && positions % spellings_every == 0) {
                const std::vector<std::string> spellings = legal_move_spellings(position);
                tokens.insert(tokens.end(), spellings.begin(), spellings.end());
            }
            add_faults(fast_path_differences(position, tokens));
            Move move;
            try {
                move = SanMove(position, token).move();
            } catch (const SanError& e) {
                report.failures.push_back("game at line " + std::to_string(game.line) + ", ply " +
                                          std::to_string(ply + 1) + ": " + e.what());
                break;
            }
            const std::string written = SanMove(position, move).text();
            const std::string printed = token.substr(0, token.find_last_not_of("!?") + 1);
            if (written != printed) report.differences.push_back({game.line, ply + 1, token, written, position.fen()});
            position.make_move(move);
            ++report.moves;
        }
    }
    return report;
}

std::string SanDifference::kind() const {
    // Each text without its check or mate mark, and the mark.
    const auto split = [](std::string_view san) {
        const bool marked = !san.empty() && (san.back() == '+' || san.back() == '#');
        return std::pair(san.substr(0, san.size() - marked), marked ? san.back() : '\0');
    };
    const auto [p, p_mark] = split(printed);
    const auto [w, w_mark] = split(written);
    if (p == w) {
        if (p_mark == '+' && w_mark == '#') return "mate printed as check";
        return p_mark == 0 ? "check mark missing" : w_mark == 0 ? "check mark surplus" : "other";
    }
    // Same piece letter and destination, with more of the origin square in between.
    if (p_mark == w_mark && p.size() > w.size() && w.size() >= 3 && p.front() == w.front() && p.ends_with(w.substr(w.size() - 2)))
        return "needless origin";
    return "other";
}

std::string ReplayReport::listed() const {
    std::string text;
    for (std::size_t i = 0; i < differences.size() && i < 10; ++i)
        text += "line " + std::to_string(differences[i].line) + " ply " + std::to_string(differences[i].ply) +
                ": printed " + differences[i].printed + ", written " + differences[i].written + "\n";
    return text + first_lines(failures) + first_lines(faults);
}

std::string count_kinds(const std::vector<SanDifference>& differences) {
    std::map<std::string, std::size_t> counts;
    for (const SanDifference& d : differences) ++counts[d.kind()];
    std::string text;
    for (const auto& [kind, count] : counts) text += kind + ": " + std::to_string(count) + "\n";
    return text;
}
