// FEN check: a text read as FEN or EPD, written back and read again, key and all.
#pragma once

// Reads a text as FEN or EPD. A rejected text must leave the empty board of clear()
// behind, whole; an accepted one must write back a FEN text that reads again to the same
// text and key, and its normalised text must read to the same position. The lookup key
// read from the text alone must be the position's, and missing exactly for a rejected text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "board/attack_tables.h"
#include "board/chess_position.h"
#include "checks/check_support.h"

namespace vorline {

inline void check_fen(std::string_view text) {
    static const AttackTables tables;
    static ChessPosition position(tables);
    static ChessPosition again(tables);
    static ChessPosition empty(tables);
    static const std::uint64_t empty_key = empty.hash();

    const std::optional<std::uint64_t> lookup_key = ChessPosition::lookup_key_of_fen(text);
    std::uint64_t named_half_moves = 0;
    require(ChessPosition::lookup_key_of_fen(text, named_half_moves) == lookup_key,
            "the key is the same when the move number is read too");
    try {
        position.fen(text);
    } catch (const FenError&) {
        require(!lookup_key, "rejected text has no lookup key");
        require(position.fen() == ChessPosition::empty_fen, "rejected text leaves the empty board");
        require(position.hash() == empty_key, "rejected text leaves the empty board's key");
        require(position.history().size() == 1, "rejected text leaves one history entry");
        require(position.repetition_list().size() == 1 &&
                    position.repetition_list().front() == empty_key,
                "rejected text leaves the empty board's repetition list");
        return;
    }

    require(lookup_key == position.lookup_key(), "lookup key read alone is the position's");

    const std::string written = position.fen();
    char buffer[ChessPosition::max_fen_length];
    const std::size_t length = position.write_fen(buffer);
    require(length <= ChessPosition::max_fen_length, "FEN text fits its buffer");
    require(std::string_view(buffer, length) == written, "both FEN writers agree");
    require(position.repetition_list().size() == 1 &&
                position.repetition_list().front() == position.hash(),
            "repetition list holds the key");

    again.fen(written);
    require(again.fen() == written, "written FEN reads back to itself");
    require(again.hash() == position.hash(), "written FEN reads back to the same key");
    require(again == position, "written FEN reads back to the same position");

    // The normalised text joins the six fields with single blanks; when none is empty it
    // is a FEN text of the same position.
    const std::string& normalised = position.fen_text();
    if (!normalised.starts_with(' ') && normalised.find("  ") == std::string::npos) {
        again.fen(normalised);
        require(again.fen() == written, "normalised text reads to the same position");
        again.fen(again.fen_text());  // a view of the text it rewrites
        require(again.fen() == written, "a position reads its own normalised text");
    }
}

}  // namespace vorline
