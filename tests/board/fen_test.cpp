// Reading and writing FEN and EPD position texts.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "board_fixtures.h"

namespace {

std::string error_text(ChessPosition& p, const std::string& fen) {
    try {
        p.fen(fen);
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "";
}

void expect_cleared(const ChessPosition& p) {
    ChessPosition empty(test_tables());
    EXPECT_EQ(p.fen_text(), "8/8/8/8/8/8/8/8 w - - 0 1");
    EXPECT_EQ(p.history(), empty.history());
    EXPECT_EQ(p.repetition_list(), empty.repetition_list());
    EXPECT_EQ(p.hash_keys().size(), 1u);
    EXPECT_EQ(p.hash(), empty.hash());
    EXPECT_EQ(p.occupied(), 0u);
    for (std::uint32_t s = 0; s < 64; ++s) EXPECT_TRUE(p.piece_on(s).is_empty());
}

TEST(Fen, WrittenTextReadsBackUnchanged) {
    ChessPosition p(test_tables());
    EXPECT_EQ(p.fen(), "8/8/8/8/8/8/8/8 w - - 0 1");
    p.set_start_position();
    EXPECT_EQ(p.fen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(p.white_king_square(), squares::e1);
    EXPECT_EQ(p.black_king_square(), squares::e8);
    EXPECT_EQ(p.material(), 2 * (900 + 1000 + 1200));
    for (const char* fen : {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                            "rnbqkb1r/ppppp1pp/7n/4Pp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
                            "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
                            "1r2k2r/8/8/8/8/8/8/R3K2R w BHh - 45 300"}) {
        p.fen(fen);
        EXPECT_EQ(p.fen(), fen);
        std::string reused = "some earlier text";
        p.write_fen(reused);
        EXPECT_EQ(reused, fen);
    }
}

TEST(Fen, EpdLinesAndMissingOrOddClocks) {
    ChessPosition p(test_tables());
    p.fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 bm e5;");
    EXPECT_TRUE(p.black_to_move());
    EXPECT_EQ(p.castling_rights(), 0x8181u);
    EXPECT_EQ(p.en_passant_square(), squares::e3);
    EXPECT_EQ(p.fen_text(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    // {text read, half-move clock, full-move number, fen_text written back}
    const std::tuple<const char*, std::uint32_t, std::uint32_t, const char*> rows[] = {
        {"8/8/8/8/8/8/8/8 w - -\r\n", 0, 1, "8/8/8/8/8/8/8/8 w - - 0 1"},
        {"8/8/8/8/8/8/8/8 w - - 3 7;", 3, 7, "8/8/8/8/8/8/8/8 w - - 3 7;"},
        {"8/8/8/8/8/8/8/8 w - - 99999999999 -4", 0, 0, "8/8/8/8/8/8/8/8 w - - 0 -4"}};  // negatives read as 0
    for (const auto& [text, clock, number, written] : rows) {
        p.fen(text);
        EXPECT_EQ(p.half_move_clock(), clock) << text;
        EXPECT_EQ(p.full_move_number(), number) << text;
        EXPECT_EQ(p.fen_text(), written);
    }
}

TEST(Fen, SideCastlingAndEnPassantFields) {
    ChessPosition p(test_tables());
    for (const char* side : {"B", "black", "W", ""}) {
        p.fen(std::string("4k3/8/8/8/8/8/8/4K3 ") + side);
        EXPECT_TRUE(p.black_to_move()) << side;
    }
    const std::string placement = "r3k2r/8/8/8/8/8/8/R3K2R w ";
    for (const char* rights : {"KQkq", "HAha", "AHah", "qkQK"}) {
        p.fen(placement + rights + " - 0 1");
        EXPECT_EQ(p.castling_rights(), 0x8181u) << rights;
        EXPECT_EQ(p.fen(), placement + "KQkq - 0 1");
    }
    p.fen(placement + "Kk- - 0 1");
    EXPECT_EQ(p.castling_rights(), 0x8080u);
    p.fen(placement + "E - 0 1");
    EXPECT_EQ(p.castling_rights(), 0x0010u);
    EXPECT_EQ(p.fen(), placement + "E - 0 1");
    p.fen(placement + "KQkq - 0 1");
    p.set_castling_letters(true);
    EXPECT_EQ(p.fen(), placement + "AHah - 0 1");

    const std::pair<const char*, std::uint32_t> squares_read[] = {
        {"d6", squares::d6}, {"d3", squares::d3}, {"d4", squares::d6}, {"d", squares::d6}, {"-", no_square}};
    for (const auto& [field, square] : squares_read) {
        p.fen(std::string("4k3/8/8/8/8/8/8/4K3 w - ") + field + " 0 1");
        EXPECT_EQ(p.en_passant_square(), square) << field;
    }
}

TEST(Fen, BadPlacementsThrowAndLeaveTheBoardCleared) {
    ChessPosition p(test_tables());
    const std::pair<const char*, const char*> rows[] = {
        {"rnbqkbnr/pppppppp/8/8/4X3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "unkown piece 0x58"},
        {"  4k3/9/8 w", "unkown piece 0x39"},  // the bad character is named, also after white space
        {"rnbqkbnrr/8/8/8/8/8/8/8 w - - 0 1", nullptr},  // nine squares in a rank
        {"8/8/8/8/8/8/8/71K w - - 0 1", nullptr},        // runs off h1
        {"8/8/8/8/8/8/8/8/k w - - 0 1", nullptr},        // a ninth rank
        {"8/8/8/8/8/8/8/8/ w - - 0 1", nullptr},
        {"44k/8/8/8/8/8/8/8 w - - 0 1", nullptr}};
    for (const auto& [fen, message] : rows) {
        SCOPED_TRACE(fen);
        p.set_start_position();
        p.make_move(p.convert_to_move("e2e4"));
        const std::string error = error_text(p, fen);
        if (message)
            EXPECT_EQ(error, "ChessPosition::fen(" + std::string(fen) + ") \n" + message);
        else
            EXPECT_NE(error, "");
        expect_cleared(p);
    }
    // A short rank ends at the "/"; fewer ranks leave the rest empty.
    p.fen("4k/8/8/8/8/8/8/4K w - - 0 1");
    EXPECT_EQ(p.fen(), "4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    p.fen("k7/K7 w - - 0 1");
    EXPECT_EQ(p.fen(), "k7/K7/8/8/8/8/8/8 w - - 0 1");
}

TEST(Fen, MissingKingsGiveNoPinsAndNoCheck) {
    ChessPosition p = position_from("4r3/8/8/8/8/8/4B3/8 b - - 0 1");
    EXPECT_EQ(p.white_king_square(), no_square);
    EXPECT_EQ(p.pinned_pieces(), 0u);
    EXPECT_FALSE(p.in_check());
    MoveList list;
    p.generate_legal_moves(list);
    EXPECT_EQ(list.count(), 13u);  // the rook's moves, taking the bishop among them
}

}  // namespace
