#include "notation_support.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "board/move_list.h"
#include "notation/san_move.h"

const AttackTables& shared_tables() {
    static const AttackTables tables;
    return tables;
}

ChessPosition position_from(std::string_view fen) {
    ChessPosition position(shared_tables());
    position.fen(fen);
    return position;
}

std::string reference_file(std::string_view relative_path) {
    const std::filesystem::path path = std::filesystem::path(VORLINE_DATA_DIR) / relative_path;
    return std::filesystem::exists(path) ? path.string() : std::string();
}

namespace {

bool is_mate_after(ChessPosition& position, Move move) {
    position.make_move(move);
    MoveList replies;
    position.generate_legal_moves(replies);
    const bool mate = replies.empty() && position.in_check();
    position.unmake_move();
    return mate;
}

}  // namespace

std::vector<std::string> round_trip_faults(ChessPosition& position) {
    std::vector<std::string> faults;
    const std::string fen_before = position.fen();
    const std::uint64_t key_before = position.hash();
    const std::size_t history_before = position.history().size();
    auto fault = [&](Move move, const std::string& text, const std::string& what) {
        faults.push_back(fen_before + "  " + move.coordinate_text() + " \"" + text + "\": " + what);
    };

    MoveList moves;
    position.generate_legal_moves(moves);
    for (const Move move : moves) {
        const SanMove written(position, move);
        const std::string& text = written.text();
        if (position.fen() != fen_before || position.hash() != key_before ||
            position.history().size() != history_before) {
            fault(move, text, "writing changed the position");
            return faults;
        }
        const bool mate = is_mate_after(position, move);
        const bool has_hash_mark = !text.empty() && text.back() == '#';
        const bool has_plus_mark = !text.empty() && text.back() == '+';
        if (mate != has_hash_mark) fault(move, text, mate ? "mate without \"#\"" : "\"#\" on no mate");
        if (move.check() != (has_hash_mark || has_plus_mark)) fault(move, text, "check mark differs from check bit");
        try {
            const SanMove read(position, text);
            if (read.move() != move)
                fault(move, text, "reads back as " + read.move().coordinate_text() +
                                      (read.move().check() ? " (check)" : " (no check)"));
            if (read.move().word() >> 24 != 0) fault(move, text, "read move carries an ordering label");
        } catch (const std::logic_error& e) {
            fault(move, text, std::string("does not read back: ") + e.what());
        }
    }
    return faults;
}

std::vector<std::string> perft_file_positions(const std::string& path) {
    std::vector<std::string> fens;
    std::set<std::string> seen;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string fen = line.substr(0, line.find('\t'));
        if (!fen.empty() && seen.insert(fen).second) fens.push_back(fen);
    }
    return fens;
}

ReplayReport replay_games(std::string_view pgn_text, std::size_t round_trip_every) {
    ReplayReport report;
    ChessPosition position(shared_tables());
    std::size_t position_count = 0;
    for (const MainlineGame& game : read_mainline_games(pgn_text)) {
        if (!game.is_standard_chess()) continue;
        if (game.fen.empty())
            position.set_start_position();
        else
            position.fen(game.fen);
        ++report.games;
        for (std::size_t ply = 0; ply < game.moves.size(); ++ply) {
            const std::string& token = game.moves[ply];
            const std::string where = "game at line " + std::to_string(game.line) + ", ply " +
                                      std::to_string(ply + 1) + ": ";
            if (round_trip_every != 0 && position_count++ % round_trip_every == 0) {
                const std::vector<std::string> faults = ::round_trip_faults(position);
                report.round_trip_faults.insert(report.round_trip_faults.end(), faults.begin(), faults.end());
                ++report.round_trips;
            }
            Move move;
            try {
                move = SanMove(position, token).move();
            } catch (const std::logic_error& e) {
                report.failures.push_back(where + e.what());
                break;
            }
            const std::string written = SanMove(position, move).text();
            std::string printed = token;
            while (!printed.empty() && (printed.back() == '!' || printed.back() == '?')) printed.pop_back();
            if (written != printed) report.differences.push_back({game.line, ply + 1, token, written, position.fen()});
            position.make_move(move);
            ++report.moves;
        }
    }
    return report;
}

namespace {

std::string_view without_mark(std::string_view san) {
    if (!san.empty() && (san.back() == '+' || san.back() == '#')) san.remove_suffix(1);
    return san;
}

}  // namespace

std::string SanDifference::kind() const {
    const std::string_view p = without_mark(printed), w = without_mark(written);
    const char p_mark = p.size() < printed.size() ? printed.back() : 0;
    const char w_mark = w.size() < written.size() ? written.back() : 0;
    if (p == w) {
        if (p_mark == '+' && w_mark == '#') return "mate printed as check";
        if (p_mark == 0) return "check mark missing";
        if (w_mark == 0) return "check mark surplus";
        return "other";
    }
    // Same piece letter and destination, with more of the origin square in between.
    if (p_mark == w_mark && p.size() > w.size() && w.size() >= 3 && p.front() == w.front() &&
        p.substr(p.size() - 2) == w.substr(w.size() - 2))
        return "needless origin";
    return "other";
}

std::string SanDifference::describe() const {
    return "game at line " + std::to_string(line) + ", ply " + std::to_string(ply) + ": printed " +
           printed + ", written " + written + " (" + kind() + ") in " + fen;
}

std::string count_kinds(const std::vector<SanDifference>& differences) {
    std::map<std::string, std::size_t> counts;
    for (const SanDifference& d : differences) ++counts[d.kind()];
    std::string text;
    for (const auto& [kind, count] : counts) text += kind + ": " + std::to_string(count) + "\n";
    return text;
}
