// Reading and writing FEN and EPD position texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "board/move_list.h"
#include "checks/fen_check.h"
#include "support/reference_data.h"

namespace vorline {

namespace {

TEST(Fen, EpdLinesClocksSideCastlingAndEnPassantFields) {
    ChessPosition p(test_tables());
    // {text read, fen_text written back}: EPD operations and missing or odd clocks; each text
    // also passes the FEN fuzz target's checks (written text reads back to itself).
    EXPECT_EQ(p.fen(), "8/8/8/8/8/8/8/8 w - - 0 1");
    const std::pair<const char*, const char*> rows[] = {
        {"1r2k2r/8/8/8/8/8/8/R3K2R w BHh - 45 300", "1r2k2r/8/8/8/8/8/8/R3K2R w BHh - 45 300"},
        {"rnbqkb1r/ppppp1pp/7n/4Pp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
         "rnbqkb1r/ppppp1pp/7n/4Pp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3"},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 bm e5;",
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"},
        {"8/8/8/8/8/8/8/8 w - -\r\n", "8/8/8/8/8/8/8/8 w - - 0 1"},
        {"8/8/8/8/8/8/8/8 w - - 3 7;", "8/8/8/8/8/8/8/8 w - - 3 7;"},
        {"8/8/8/8/8/8/8/8 w - - 99999999999 -4", "8/8/8/8/8/8/8/8 w - - 0 -4"}};
    for (const auto& [text, written] : rows) {
        p.fen(text);
        EXPECT_EQ(p.fen_text(), written) << text;
        EXPECT_NO_THROW(check_fen(text)) << text;
    }
    for (const char* side : {"B", "black", ""}) {
        p.fen(std::string("4k3/8/8/8/8/8/8/4K3 ") + side);
        EXPECT_TRUE(p.black_to_move()) << side;
    }
    const std::string placement = "r3k2r/8/8/8/8/8/8/R3K2R w ";
    for (const auto& [rights, bits] : {std::pair{"KQkq", 0x8181u},
                                       {"AHah", 0x8181u},
                                       {"qkQK", 0x8181u},
                                       {"Kk-", 0x8080u},
                                       {"E", 0x0010u}}) {
        p.fen(placement + rights + " - 0 1");
        EXPECT_EQ(p.castling_rights(), bits) << rights;
    }
    p.fen(placement + "KQkq - 0 1");
    p.set_castling_letters(true);
    EXPECT_EQ(p.fen(), placement + "AHah - 0 1");
    for (const auto& [field, square] :
         {std::pair{"d6", std::uint32_t(squares::d6)}, {"d4", squares::d6}, {"-", no_square}}) {
        p.fen(std::string("4k3/8/8/8/8/8/8/4K3 w - ") + field + " 0 1");
        EXPECT_EQ(p.en_passant_square(), square) << field;
    }
}

// A rejected text leaves the empty board whole (the FEN fuzz target's checks), also after
// moves were made.
// The half moves a text's move number names, with the key unchanged: only a sixth field
// that is a number counts, so EPD operations and missing clocks name none.
TEST(Fen, HalfMovesNamedByTheMoveNumber) {
    const std::pair<const char*, std::uint64_t> rows[] = {
        {"r1bqk2r/pp2bppp/2nppn2/8/3NP3/2N1B3/PPPQ1PPP/R3KB1R w KQkq - 4 9", 16},
        {"r1bqk2r/pp2bppp/2nppn2/8/3NP3/2N1B3/PPPQBPPP/R3K2R b KQkq - 5 9", 17},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 1},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", 0},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 3", 0},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 bm e5; id \"9\";", 0},
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 x9", 0},
        {"8/8/8/4k3/8/8/3QK3/8 w - - 0 0", 0},
        {"8/8/8/4k3/8/8/3QK3/8 w - - 0 -4", 0},
        {"8/8/8/4k3/8/8/3QK3/8 b - - 0 2147483647", 4294967293},
    };
    for (const auto& [text, half_moves] : rows) {
        std::uint64_t named = 99;
        EXPECT_EQ(ChessPosition::lookup_key_of_fen(text, named),
                  ChessPosition::lookup_key_of_fen(text))
            << text;
        EXPECT_EQ(named, half_moves) << text;
    }
}

TEST(Fen, BadPlacementsThrowAndLeaveTheBoardCleared) {
    ChessPosition p(test_tables());
    const ChessPosition empty(test_tables());
    const std::pair<const char*, const char*> rows[] = {
        {"rnbqkbnr/pppppppp/8/8/4X3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "unkown piece 0x58"},
        {"rnbqkbnrr/8/8/8/8/8/8/8 w - - 0 1", nullptr},  // nine squares in a rank
        {"8/8/8/8/8/8/8/71K w - - 0 1", nullptr},        // runs off h1
        {"8/8/8/8/8/8/8/8/k w - - 0 1", nullptr}};       // a ninth rank
    for (const auto& [fen, message] : rows) {
        SCOPED_TRACE(fen);
        p.set_start_position();
        p.make_move(p.convert_to_move("e2e4"));
        try {
            p.fen(fen);
            ADD_FAILURE() << "no error";
        } catch (const FenError& e) {
            if (message) {
                EXPECT_EQ(e.what(), "ChessPosition::fen(" + std::string(fen) + ") \n" + message);
            }
        }
        EXPECT_TRUE(p == empty && p.hash() == empty.hash() && p.history() == empty.history() &&
                    p.hash_keys().size() == 1);
        EXPECT_NO_THROW(check_fen(fen));
    }
    p.fen("k7/K7 w - - 0 1");  // fewer ranks leave the rest empty
    EXPECT_EQ(p.fen(), "k7/K7/8/8/8/8/8/8 w - - 0 1");
}

TEST(Fen, MissingKingsGiveNoPinsAndNoCheck) {
    ChessPosition p = position_from("4r3/8/8/8/8/8/4B3/8 b - - 0 1");
    EXPECT_EQ(p.white_king_square(), no_square);
    EXPECT_FALSE(p.in_check());
    MoveList list;
    p.generate_legal_moves(list);
    EXPECT_EQ(list.count(), 13u);  // the rook's moves, taking the bishop among them
}

}  // namespace

}  // namespace vorline
