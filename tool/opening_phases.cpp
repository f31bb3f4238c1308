#include "tool/opening_phases.h"

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "board/hash_keys.h"
#include "tool/epd_line.h"

std::uint64_t lookup_key(const ChessPosition& position) {
    const std::uint64_t key = position.hash();
    const std::uint32_t ep = position.en_passant_square();
    if (ep >= 64) return key;
    // White to move: Black's pawn went to ep - 8 (rank 5) from ep + 8; Black to move: White's
    // pawn stands on ep + 8 (rank 4). A capturing pawn stands on that rank, one file aside.
    const bool white = position.white_to_move();
    const std::uint32_t wanted_rank = white ? 5 : 2;
    bool capturable = false;
    if (ep / 8 == wanted_rank) {
        const std::uint32_t pawn_square = white ? ep - 8 : ep + 8;
        const Piece capturer = white ? Piece(Piece::white_pawn) : Piece(Piece::black_pawn);
        const std::uint32_t file = pawn_square % 8;
        capturable = (file > 0 && position.piece_on(pawn_square - 1) == capturer) ||
                     (file < 7 && position.piece_on(pawn_square + 1) == capturer);
    }
    return capturable ? key : key ^ HashKeys::en_passant_keys[ep & 7];
}

namespace {

std::uint64_t start_key(const AttackTables& tables) {
    ChessPosition position(tables);
    position.set_start_position();
    return position.hash();
}

}  // namespace

OpeningPhases::OpeningPhases()
    : tables_(std::make_unique<const AttackTables>()),
      index_(start_key(*tables_)),
      player_(*tables_),
      epd_position_(*tables_),
      writer_(*tables_) {}

void OpeningPhases::build_index(PgnFile& games, std::uint32_t depth) {
    for (std::vector<OpeningStep>& steps : steps_) steps.clear();
    for (const std::string* text = &games.read_first_game(); !text->empty();
         text = &games.read_next_game()) {
        // A game with a FEN tag starts elsewhere; any "FEN" in the text skips the game.
        if (text->find("FEN") != std::string::npos) continue;
        try {
            player_.play(*text, depth, steps_[2]);
        } catch (const std::logic_error&) {
            // An unreadable or illegal move ends this game's line; the steps before it stay.
        }
        // Games are recorded two behind, in file order: the table slots of this game's
        // steps, then the nodes they lead to, arrive while the games before it are recorded.
        index_.prefetch_line(steps_[2]);
        index_.prefetch_line_nodes(steps_[1]);
        index_.record_line(steps_[0]);
        std::swap(steps_[0], steps_[1]);
        std::swap(steps_[1], steps_[2]);
    }
    index_.record_line(steps_[0]);
    index_.record_line(steps_[1]);
    for (std::vector<OpeningStep>& steps : steps_) steps.clear();
}

void OpeningPhases::answer_positions(std::istream& epd_lines, std::ostream& failed_lines,
                                     PgnFile& output) {
    // Lines are read and looked up a batch at a time: the keys of a batch are known before
    // the first of its lines is answered, so the index's table slots and nodes are fetched
    // ahead and the walks back go in step, their cache misses overlapping.
    constexpr std::size_t batch_size = 32;
    static_assert(batch_size <= OpeningIndex::batch_limit);
    batch_.resize(batch_size);
    keys_.resize(batch_size);
    moves_.resize(batch_size);
    bool found[batch_size];
    for (bool more = true; more;) {
        std::size_t count = 0;
        while (count < batch_size && (more = read_epd_line(epd_lines, batch_[count].text))) {
            EpdLine& line = batch_[count++];
            try {
                epd_position_.fen(line.text);
                line.readable = true;
                keys_[count - 1] = lookup_key(epd_position_);
                index_.prefetch(keys_[count - 1]);
            } catch (const std::logic_error&) {
                line.readable = false;  // a line the FEN reader rejects is not found
            }
        }
        for (std::size_t i = 0; i < count; ++i)
            if (batch_[i].readable) index_.prefetch_node(keys_[i]);
        index_.walk_back_batch(std::span(keys_).first(count), moves_, found);
        for (std::size_t i = 0; i < count; ++i) {
            const EpdLine& line = batch_[i];
            // A sound index never holds a move that is not legal where it stands.
            if (line.readable && found[i] && writer_.write(moves_[i], game_text_)) {
                output.write_game(game_text_);
            } else {
                failed_lines.write(line.text.data(), std::streamsize(line.text.size()));
                failed_lines.put('\n');
            }
        }
    }
}
