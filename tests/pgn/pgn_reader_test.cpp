// Reading PGN text (sections, tag pairs, variations, comments and tokens), reading only the
// opening, and breaking written text into lines.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "checks/pgn_game_check.h"
#include "pgn/game.h"
#include "pgn/game_text_sections.h"
#include "pgn/move_numbering.h"
#include "pgn/movetext_reader.h"
#include "pgn/pgn_layout.h"

namespace vorline {

namespace {

using Nodes = std::vector<std::pair<NodeKind, std::string>>;

Nodes nodes_of(const GameLine& line) {
    Nodes nodes;
    for (const GameNode& node : line) nodes.emplace_back(node.kind, node.text);
    return nodes;
}

constexpr NodeKind M = NodeKind::move;
constexpr NodeKind C = NodeKind::comment;
constexpr NodeKind N = NodeKind::nag;
constexpr NodeKind V = NodeKind::variation;
constexpr NodeKind R = NodeKind::result;

struct ReadLines {
    GameLines lines;
    explicit ReadLines(std::string_view movetext) {
        append_line(lines);
        MovetextReader reader;
        reader.read(movetext, lines);
    }
    Nodes line(std::size_t i) const { return nodes_of(lines[i]); }
};

Nodes tokens(std::string_view text) {
    GameLine line;
    append_movetext_tokens(text, line);
    return nodes_of(line);
}

std::vector<std::pair<std::string, std::string>> tag_pairs(std::string_view tags) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for_each_tag_pair(tags, [&](std::string_view name, std::string_view value) {
        pairs.emplace_back(name, value);
    });
    return pairs;
}

std::string wrapped(std::string text, std::size_t offset = 0) {
    wrap_pgn_lines(text, offset);
    return text;
}

std::string word(std::size_t length) { return std::string(length, 'x'); }

const char* const long_game =
    "[Event \"E\"]\n[Site \"S\"]\n[Date \"2000.01.01\"]\n[Round \"3\"]\n[White \"W\"]\n"
    "[Black \"B\"]\n[Result \"1-0\"]\n[ECO \"C65\"]\n[WhiteElo \"2700\"]\n\n"
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 {Spanish} Nf6 (3... a6 4. Ba4 (4. Bxc6)) 4. O-O Nxe4 $5 "
    "5. d4 Nd6 6. Bxc6 dxc6 7. dxe5 Nf5 8. Qxd8+ Kxd8 9. Nc3 Ke8 10. h3 h5 11. Bf4 Be7 "
    "12. Rad1 Be6 13. Ng5 Rh6 14. g3 Bxg5 15. Bxg5 Rg6 1-0\n";

}  // namespace

TEST(GameTextSections, TagSectionEndsAtTheFirstLineThatIsNoTag) {
    // {game text, tag section, movetext}
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"\n\n[Event \"A\"]\n[Site \"B\"]\n\n1. e4 e5\n\n2. Nf3 *\n\n",
         "[Event \"A\"]\n[Site \"B\"]\n", "1. e4 e5\n2. Nf3 *\n"},
        // No empty line between; tag lines may be indented, a "[" inside movetext does not count.
        {"[Event \"A\"]\n [Site \"B\"]\n1. e4 {[%clk 0:01]} e5 *\n",
         "[Event \"A\"]\n [Site \"B\"]\n", "1. e4 {[%clk 0:01]} e5 *\n"},
        {"1. e4 e5 *\n", "", "1. e4 e5 *\n"},
        // "%" lines are skipped; the last line counts without a line feed.
        {"[Event \"A\"]\n% escape\n[Site \"B\"]\n\n\n%skip\n1. e4\n[x]\ne5 *",
         "[Event \"A\"]\n[Site \"B\"]\n", "1. e4\n[x]\ne5 *\n"},
        {"", "", ""},
        {"\n\n", "", ""}};
    for (const auto& [text, expected_tags, expected_moves] : rows) {
        std::string tags = "old", moves = "old";
        split_game_text(text, tags, moves);
        EXPECT_EQ(tags, expected_tags) << text;
        EXPECT_EQ(moves, expected_moves) << text;
    }
}

// The run of tag lines is passed over in blocks: the line that ends it is found wherever
// it falls in a block, whatever follows the tags.
TEST(GameTextSections, TagRunsOfEveryLengthEndWhereTheyShould) {
    // {what follows the tags, tag lines among it, movetext}
    const std::tuple<std::string, std::string, std::string> endings[] = {
        {"\n1. e4 *\n", "", "1. e4 *\n"},
        {"1. e4 *", "", "1. e4 *\n"},
        {"%c\n[Round \"1\"]\n\n\n1. e4\n", "[Round \"1\"]\n", "1. e4\n"},
        {" [Round \"1\"]\n\n[x]\n", " [Round \"1\"]\n", "[x]\n"},
        {"", "", ""},
        {"[Round \"1\"]", "[Round \"1\"]\n", ""}};
    for (std::size_t pad = 0; pad < 40; ++pad) {
        const std::string tags = "[Event \"" + std::string(pad, 'x') + "\"]\n[Site \"[\"]\n";
        for (const auto& [ending, more_tags, expected_moves] : endings) {
            std::string tag_text, moves;
            split_game_text(tags + ending, tag_text, moves);
            EXPECT_EQ(tag_text, tags + more_tags) << pad << ending;
            EXPECT_EQ(moves, expected_moves) << pad << ending;
        }
    }
}

TEST(TagPairs, QuotesBlanksAndBackslashes) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(tag_pairs("[Event \"\"]\n[Site \"B\"]\n"), (Pairs{{"Event", ""}, {"Site", "B"}}));
    EXPECT_EQ(tag_pairs("[White \"  Kasparov\"]\n"), (Pairs{{"White", "Kasparov"}}));
    EXPECT_EQ(tag_pairs("[Event \"say \\\"hi\\\"\"]\n"), (Pairs{{"Event", "say \\"}}));
    EXPECT_EQ(tag_pairs("[A \"1\"] [B \"2\"]\n[A \"3\"]\n"),
              (Pairs{{"A", "1"}, {"B", "2"}, {"A", "3"}}));
    // A tag without a value swallows the next line's tag.
    EXPECT_EQ(tag_pairs("[Event]\n[Site \"B\"]\n"), (Pairs{{"Event]\n[Site", "B"}}));
    EXPECT_EQ(tag_pairs("[ \"x\"]\n[Round"), (Pairs{{"Round", ""}}));
    EXPECT_EQ(tag_pairs("no brackets\n"), Pairs{});
}

TEST(MovetextTokens, MovesGlyphsResultsAndMarkers) {
    const std::pair<const char*, Nodes> rows[] = {
        {"1. e4!? $1 e5", {{M, "e4"}, {N, "$1"}, {M, "e5"}}},
        {"12. Nbd7 O-O-O e8=Q+ Qh4xe1#", {{M, "Nbd7"}, {M, "O-O-O"}, {M, "e8=Q+"}, {M, "Qh4xe1#"}}},
        {"0-0", {{R, "0-1"}}},
        {"exd6 e.p.", {{M, "exd6"}, {M, "e"}}},
        {"Pe4 $", {{M, "e4"}, {N, "$"}}},
        {"1-0 0-1 1/2-1/2 *", {{R, "1-0"}, {R, "0-1"}, {R, "1/2-1/2"}, {R, "*"}}},
        {"1/2", {}},  // too short to be a draw marker
        {"e4 (3) e5", {{M, "e4"}, {V, "3"}, {M, "e5"}}},
        {"e4 (d4",
         {{M, "e4"}, {V, "d4"}, {M, "d4"}}}};  // an unclosed "(" takes the rest, read as usual
    for (const auto& [text, expected] : rows) EXPECT_EQ(tokens(text), expected) << text;
}

TEST(MovetextReader, NestedVariationsAreNumberedBreadthFirst) {
    ReadLines read("1. e4 (1. d4 d5 (1... Nf6)) e5 *\n");
    ASSERT_EQ(read.lines.size(), 3u);
    EXPECT_EQ(read.line(0), (Nodes{{M, "e4"}, {V, "1"}, {M, "e5"}, {R, "*"}}));
    EXPECT_EQ(read.line(1), (Nodes{{M, "d4"}, {M, "d5"}, {V, "2"}}));
    EXPECT_EQ(read.line(2), (Nodes{{M, "Nf6"}}));

    ReadLines wide("e4 (d4 (c4) (Nf3)) (b3 (g3)) e5\n");
    ASSERT_EQ(wide.lines.size(), 6u);
    EXPECT_EQ(wide.line(0), (Nodes{{M, "e4"}, {V, "1"}, {V, "2"}, {M, "e5"}}));
    EXPECT_EQ(wide.line(1), (Nodes{{M, "d4"}, {V, "3"}, {V, "4"}}));
    EXPECT_EQ(wide.line(2), (Nodes{{M, "b3"}, {V, "5"}}));
    EXPECT_EQ(wide.line(5), (Nodes{{M, "g3"}}));
}

TEST(MovetextReader, CommentsAndUnbalancedParentheses) {
    const std::pair<const char*, Nodes> main_lines[] = {
        {"1. e4 {good (really)} e5\n", {{M, "e4"}, {C, "good (really)"}, {M, "e5"}}},
        {"1. e4 ; fine\n1... e5\n", {{M, "e4"}, {C, " fine"}, {M, "e5"}}},
        {"e4 {two\nlines} {} e5\n", {{M, "e4"}, {C, "two lines"}, {M, "e5"}}},
        {"e4 {a ; b} ; c { d\ne5 {open\n",
         {{M, "e4"}, {C, "a ; b"}, {C, " c { d"}, {M, "e5"}, {C, "open "}}},
        // After a stray ")" the parenthesised text stays as a marker that names no line.
        {"1. e4 ) (1. d4) e5\n", {{M, "e4"}, {V, "1. d4"}, {M, "e5"}}},
        {"e4 () e5\n", {{M, "e4"}, {M, "e5"}}},
        {"e4 e5 (d4 d5\n", {{M, "e4"}, {M, "e5"}}}};
    for (const auto& [text, expected] : main_lines) {
        const ReadLines read(text);
        EXPECT_EQ(read.line(0), expected) << text;
        EXPECT_EQ(read.lines.size(), 1u) << text;
    }
    ReadLines nested("e4 (d4 {x) y} d5) e5\n");
    ASSERT_EQ(nested.lines.size(), 2u);
    EXPECT_EQ(nested.line(1), (Nodes{{M, "d4"}, {C, "x) y"}, {M, "d5"}}));
}

TEST(MovetextReader, DeepNestingNeitherRecursesNorLosesLines) {
    const std::size_t depth = 100000;
    std::string text = "e4 ";
    for (std::size_t i = 0; i < depth; ++i) text += "(d4 ";
    text += std::string(depth, ')') + " e5\n";
    ReadLines read(text);
    ASSERT_EQ(read.lines.size(), depth + 1);
    EXPECT_EQ(read.line(depth), (Nodes{{M, "d4"}}));

    MoveNumbering numbering;
    numbering.number(read.lines, 0, 1, 1, 1, 1);
    EXPECT_EQ(read.lines[depth][0].white, 1u);
    EXPECT_EQ(read.lines[depth][0].move_number, 1u);
    EXPECT_EQ(read.lines[0][2].white, 0u);
}

TEST(GameTrimming, ReadingTheOpeningAloneGivesTheSameRecord) {
    const std::string texts[] = {
        long_game,
        "[Event \"A\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 12\"]\n\n12... Kd7 13. Kd2 *\n",
        "1. e4 ) (1. d4) e5 {x\n(y} 2. Nf3 ; z (\n Nc6 *\n",
        "[A \"1\"]\n[B \"2\"]\n[C \"3\"]\n[D \"4\"]\n[E \"5\"]\n[F \"6\"]\n[G \"7\"]\n[H \"8\"]\n",
        "",
    };
    Game full;
    Game opening;
    for (const std::string& text : texts) {
        for (std::uint32_t depth : {0u, 1u, 3u, 24u, 0xFFFFFFFFu}) {
            full.read_pgn(text);
            full.keep_opening(depth);
            opening.read_opening(text, depth);
            EXPECT_EQ(pgn_game_check::fingerprint(full), pgn_game_check::fingerprint(opening))
                << text << " depth " << depth;
        }
    }
    // A bad FEN tag: reported once by each, the same record afterwards.
    const std::string bad = "[Event \"A\"]\n[FEN \"X/8 w - - 0 1\"]\n\n1. e4 *\n";
    testing::internal::CaptureStderr();
    full.read_pgn(bad);
    full.keep_opening(24);
    opening.read_opening(bad, 24);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), bad + "\n" + bad + "\n");
    EXPECT_EQ(pgn_game_check::fingerprint(full), pgn_game_check::fingerprint(opening));
}

TEST(PgnWrapping, BreaksAtThe80thCharacterOrTheSpaceBeforeIt) {
    const std::string line79 = word(40) + " " + word(38);
    const std::string head = "[Event \"A\"]\n";
    const std::pair<std::string, std::string> rows[] = {
        {line79 + "\n", line79 + "\n"},
        {line79, line79},
        {line79 + " abc", line79 + "\nabc"},
        {word(50) + " " + word(50), word(50) + "\n" + word(50)},
        {word(79) + " " + word(10), word(79) + "\n" + word(10)},
        // A line without a space is broken after its word, never in an earlier line.
        {head + word(120) + " e4 e5\n", head + word(120) + "\ne4 e5\n"},
        {head + word(120) + "\n", head + word(120) + "\n"}};
    for (const auto& [text, expected] : rows) EXPECT_EQ(wrapped(text), expected) << text;

    const std::string tag = "[Event \"" + word(50) + " " + word(50) + "\"]\n";
    EXPECT_EQ(wrapped(tag + word(50) + " " + word(50) + "\n", tag.size()),
              tag + word(50) + "\n" + word(50) + "\n");
}

}  // namespace vorline
