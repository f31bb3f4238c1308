#include "tool/opening_player.h"

#include "board/board_errors.h"
#include "notation/san_error.h"
#include "pgn/game_error.h"
#include "pgn/game_text_sections.h"

namespace vorline {

// Resolves each move against the position as the reader finds it and makes it, so that an
// illegal move ends the scan of the text at once.
class OpeningPlayer::Mover final : public MainLineMoves {
public:
    Mover(OpeningPlayer& player, std::vector<OpeningStep>& steps)
        : player_(player), steps_(steps) {}

    bool move(std::string_view text) override {
        ChessPosition& position = player_.position_;
        const Move move = SanMove::read(position, text);
        position.make_move(move);
        steps_.push_back({position.hash(), move.word()});
        return true;
    }

private:
    OpeningPlayer& player_;
    std::vector<OpeningStep>& steps_;
};

OpeningPlayer::OpeningPlayer(const AttackTables& tables) : start_(tables), position_(tables) {
    start_.set_start_position();
}

void OpeningPlayer::play(std::string_view game_text, std::uint32_t depth,
                         std::vector<OpeningStep>& steps) {
    steps.clear();
    position_ = start_;  // cheaper than reading the initial position's FEN text again
    const std::string_view movetext = movetext_for_moves(game_text, movetext_, tag_text_);
    Mover mover(*this, steps);
    reader_.read_main_line_moves(movetext, mover, depth);
}

GameOutcome OpeningPlayer::play_game(std::string_view game_text, std::uint32_t depth,
                                     std::vector<OpeningStep>& steps) {
    steps.clear();
    if (game_text.find("FEN") != std::string_view::npos) return GameOutcome::skipped_for_fen;
    try {
        play(game_text, depth, steps);
    } catch (const SanError&) {
        return GameOutcome::stopped_early;
    } catch (const GameError&) {
        return GameOutcome::stopped_early;
    } catch (const BoardError&) {
        return GameOutcome::stopped_early;
    }
    return GameOutcome::played;
}

}  // namespace vorline
