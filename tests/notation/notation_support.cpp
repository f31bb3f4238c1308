#include "notation_support.h"

#include <stdexcept>

#include "board/move_list.h"
#include "notation/san_move.h"

namespace vorline {

std::string first_lines(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < count; ++i) text += lines[i] + "\n";
    return text;
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
            faults.push_back(position.fen() + "  " + move.coordinate_text() + " \"" + text +
                             "\": " + what);
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
        if (move.check() != (mark == '#' || mark == '+'))
            fault("check mark differs from check bit");
        try {
            const Move read = SanMove(position, text).move();
            if (read != move)
                fault("reads back as " + read.coordinate_text() + (read.check() ? " (check)" : ""));
            if (read.word() >> 24 != 0) fault("read move carries an ordering label");
        } catch (const SanError& e) {
            fault(std::string("does not read back: ") + e.what());
        }
    }
    return faults;
}

ReplayReport replay_games(std::string_view pgn_text, std::size_t round_trip_every) {
    ReplayReport report;
    ChessPosition position = position_from(ChessPosition::start_fen);
    std::size_t positions = 0;
    const auto add_faults = [&](const std::vector<std::string>& found) {
        for (const std::string& fault : found)
            if (report.faults.size() < 50) report.faults.push_back(fault);
    };
    for (const MainlineGame& game : read_mainline_games(pgn_text)) {
        if (!game.is_standard_chess()) continue;
        if (game.fen.empty())
            position.set_start_position();
        else
            position.fen(game.fen);
        ++report.games;
        for (std::size_t ply = 0; ply < game.moves.size(); ++ply) {
            const std::string& token = game.moves[ply];
            ++positions;
            if (round_trip_every != 0 && positions % round_trip_every == 0) {
                add_faults(round_trip_faults(position));
                ++report.round_trips;
            }
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
            if (written != printed)
                report.differences.push_back({game.line, ply + 1, token, written, position.fen()});
            position.make_move(move);
            ++report.moves;
        }
    }
    return report;
}

std::string ReplayReport::listed() const {
    std::string text;
    for (std::size_t i = 0; i < differences.size() && i < 10; ++i)
        text += "line " + std::to_string(differences[i].line) + " ply " +
                std::to_string(differences[i].ply) + ": printed " + differences[i].printed +
                ", written " + differences[i].written + "\n";
    return text + first_lines(failures) + first_lines(faults);
}

}  // namespace vorline
