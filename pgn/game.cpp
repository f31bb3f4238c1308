#include "pgn/game.h"

#include "notation/san_move.h"
#include "pgn/game_error.h"

namespace vorline {

Game::Game() : tables_(std::make_unique<const AttackTables>()), position_(*tables_) {
    position_.set_start_position();
    initial_fen_ = position_.fen();
    assign_text(result_, "*");
    clear();
}

Game::Game(std::string_view pgn_text) : Game() { read_pgn(pgn_text); }

void Game::clear() {
    tag_order_.clear();
    tags_.clear();
    lines_.clear();
    append_line(lines_);
    cursor_line_ = 0;
    cursor_index_ = 0;
    assign_text(result_, "*");
    start_white_to_move_ = 1;
    start_move_number_ = 1;
    position_.set_start_position();
    assign_text(start_fen_, initial_fen_);
    position_is_start_ = true;
}

void Game::set_position(const std::string& fen) {
    position_is_start_ = false;
    position_.fen(fen);
}

void Game::rewind() {
    cursor_line_ = 0;
    cursor_index_ = 0;
    if (position_is_start_) return;
    set_position(start_fen_);
    position_is_start_ = true;
}

void Game::set_start(std::string_view fen) {
    assign_text(start_fen_, fen);
    // Fields: placement, side, castling, en passant, half-move clock, full-move number.
    std::string_view fields[6];
    std::size_t count = 0;
    std::size_t i = 0;
    while (count < 6) {
        while (i < fen.size() && (fen[i] == ' ' || (fen[i] >= '\t' && fen[i] <= '\r'))) ++i;
        if (i == fen.size()) break;
        const std::size_t begin = i;
        while (i < fen.size() && fen[i] != ' ' && (fen[i] < '\t' || fen[i] > '\r')) ++i;
        fields[count++] = fen.substr(begin, i - begin);
    }
    std::uint32_t number = 1;  // when the sixth field is missing or holds no number
    const std::string_view sixth = fields[5];
    if (!sixth.empty() && sixth.front() >= '0' && sixth.front() <= '9') {
        std::uint64_t value = 0;
        for (std::size_t k = 0; k < sixth.size() && sixth[k] >= '0' && sixth[k] <= '9'; ++k) {
            value = value * 10 + static_cast<std::uint64_t>(sixth[k] - '0');
            if (value > 0xFFFFFFFFu) break;
        }
        if (value <= 0xFFFFFFFFu) number = static_cast<std::uint32_t>(value);
    }
    start_move_number_ = number;
    start_white_to_move_ = fields[1] == "w" ? 1 : 0;
    set_position(start_fen_);
    position_is_start_ = true;
}

void Game::set_tag(std::string_view name, std::string_view value) {
    if (cursor_line_ != 0) return;
    if (!tags_.contains(name)) assign_text(tag_order_.push_slot(), name);
    tags_.set(name, value);
    if (name == "FEN") set_start(value);
}

std::string Game::get_tag(std::string_view name) const {
    const std::string* value = tags_.find(name);
    return value ? *value : std::string();
}

std::string Game::get_players() const { return get_tag("White") + ' ' + get_tag("Black"); }

std::uint64_t Game::get_hash() const { return position_.hash(); }

std::string Game::get_first_position() {
    rewind();
    return position_.fen();
}

Game::Step Game::step_forward() {
    const GameLine& line = lines_[cursor_line_];
    if (cursor_index_ >= line.size()) return Step::end_of_line;
    const std::size_t k = next_move_index(line, cursor_index_);
    if (k == line.size()) {
        cursor_index_ = static_cast<std::uint32_t>(line.size());
        return Step::no_move;
    }
    cursor_index_ = static_cast<std::uint32_t>(k);
    const SanMove san(position_, line[k].text);
    position_is_start_ = false;
    position_.make_move(san.move());
    ++cursor_index_;
    return Step::move_played;
}

std::string Game::get_next_position() {
    if (step_forward() == Step::end_of_line) return std::string();
    return position_.fen();
}

std::string Game::get_last_position() {
    while (cursor_index_ < current_line_size()) {
        if (step_forward() != Step::move_played) break;
    }
    cursor_index_ = static_cast<std::uint32_t>(current_line_size());
    return position_.fen();
}

std::string Game::get_previous_position() {
    for (;;) {
        if (position_.history().size() <= 1) return std::string();
        const GameLine& line = lines_[cursor_line_];
        std::size_t k = std::min<std::size_t>(cursor_index_, line.size());
        while (k > 0 && line[k - 1].kind != NodeKind::move) --k;
        cursor_index_ = k > 0 ? static_cast<std::uint32_t>(k - 1) : 0;
        const bool opens_variation = cursor_line_ != 0 && cursor_index_ < line.size() &&
                                     line[cursor_index_].kind == NodeKind::move &&
                                     next_move_index(line, 0) == cursor_index_;
        if (!opens_variation) break;
        // Back to the move of the referring line that this variation is an alternative to.
        // Only lines above this one count, so that the walk always ends.
        bool found = false;
        for (std::size_t l = 0; l < cursor_line_ && !found; ++l) {
            const GameLine& referring = lines_[l];
            for (std::size_t i = 0; i < referring.size(); ++i) {
                if (referring[i].kind == NodeKind::variation &&
                    referred_line(referring[i].text) == std::optional<std::size_t>(cursor_line_)) {
                    cursor_line_ = static_cast<std::uint32_t>(l);
                    cursor_index_ = static_cast<std::uint32_t>(i);
                    found = true;
                    break;
                }
            }
        }
        if (!found) throw GameError("Game::get_previous_position():  game is corrupt");
    }
    position_is_start_ = false;
    position_.unmake_move();
    return position_.fen();
}

Move Game::get_next_move() {
    const GameLine& line = lines_[cursor_line_];
    const std::size_t k = next_move_index(line, cursor_index_);
    if (k >= line.size()) return Move();
    return SanMove(position_, line[k].text).move();
}

std::string Game::san_text(Move move) { return SanMove(position_, move).text(); }

bool Game::find_move_text(const std::string& san) {
    const GameLine& line = lines_[cursor_line_];
    const std::size_t k = next_move_index(line, cursor_index_);
    if (k < line.size() && line[k].text == san) {
        cursor_index_ = static_cast<std::uint32_t>(k);
        return true;
    }
    for (std::size_t i = k + 1; i < line.size(); ++i) {
        if (line[i].kind == NodeKind::move) break;
        if (line[i].kind != NodeKind::variation) continue;
        const auto target = referred_line(line[i].text);
        if (!target || *target >= lines_.size()) continue;
        const GameLine& variation = lines_[*target];
        const std::size_t first = next_move_index(variation, 0);
        if (first < variation.size() && variation[first].text == san) {
            cursor_line_ = static_cast<std::uint32_t>(*target);
            cursor_index_ = static_cast<std::uint32_t>(first);
            return true;
        }
    }
    return false;
}

bool Game::find_move(Move move) { return find_move_text(san_text(move)); }

void Game::add_move(Move move) {
    const std::string san = san_text(move);
    const std::size_t k = next_move_index(lines_[cursor_line_], cursor_index_);
    if (k < current_line_size()) {
        if (find_move_text(san)) {
            ++cursor_index_;
        } else {
            const std::size_t n = lines_.size();
            insert_node(lines_[cursor_line_], k + 1, NodeKind::variation,
                        '(' + std::to_string(n) + ')');
            append_node(append_line(lines_), NodeKind::move, san);
            cursor_line_ = static_cast<std::uint32_t>(n);
            cursor_index_ = 1;
        }
    } else {
        append_node(lines_[cursor_line_], NodeKind::move, san);
        cursor_index_ = static_cast<std::uint32_t>(current_line_size());
    }
    position_is_start_ = false;
    position_.make_move(move);
}

void Game::number_moves(std::uint32_t line, std::uint32_t white, std::uint32_t number) {
    numbering_.number(lines_, line, white, number, start_white_to_move_, start_move_number_);
}

namespace {

// Index behind the last move node before `cursor` in the line; 0 when there is none.
std::size_t behind_last_move(const GameLine& line, std::size_t cursor) {
    std::size_t k = std::min(cursor, line.size());
    while (k > 0 && line[k - 1].kind != NodeKind::move) --k;
    return k;
}

}  // namespace

std::string Game::get_comment() const {
    const GameLine& line = lines_[cursor_line_];
    for (std::size_t i = behind_last_move(line, cursor_index_); i < line.size(); ++i) {
        if (line[i].kind == NodeKind::comment) return line[i].text;
        if (line[i].kind == NodeKind::move) break;
    }
    return std::string();
}

void Game::set_comment(std::string_view text) {
    if (text.empty()) return;
    GameLine& line = lines_[cursor_line_];
    const std::size_t slot = behind_last_move(line, cursor_index_);
    if (slot < line.size() && line[slot].kind == NodeKind::comment) {
        assign_text(line[slot].text, text);
        return;
    }
    insert_node(line, slot, NodeKind::comment, text);
    // Keep the cursor on the node it was on.
    if (slot < cursor_index_ || (slot == 0 && cursor_index_ == 0)) ++cursor_index_;
}

bool Game::is_first_move() const {
    const GameLine& line = lines_[cursor_line_];
    return cursor_index_ < line.size() && line[cursor_index_].kind == NodeKind::move &&
           next_move_index(line, 0) == cursor_index_;
}

std::string Game::cursor_text() const {
    std::string text = std::to_string(cursor_line_);
    text.insert(text.begin(), '{');
    text += ',';
    text += std::to_string(cursor_index_);
    text += '}';
    return text;
}

}  // namespace vorline
