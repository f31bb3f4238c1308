// The report a run writes with "-r" (read back with a JSON parser, each field against the
// run), complete, interrupted and failed; the JSON writer beneath it; and "-v".
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "support/process.h"
#include "support/temp_dir.h"
#include "tool/json_writer.h"
#include "tool/tool_run.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// Four games: two indexed (4 and 2 new positions), one skipped for its FEN tag, one stopped
// at an illegal move after a position already indexed.
const std::string games =
    "[Event \"A\"]\n\n1. e4 e5 2. Nf3 Nc6 *\n\n[Event \"B\"]\n\n1. d4 d5 *\n\n"
    "[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n\n1. Kb2 *\n\n[Event \"D\"]\n\n1. e4 Ke7 *\n\n";
// At depth 4: found after 3, 2 and 0 half moves; not found: unreadable, beyond the depth
// (half moves 5 and 17), within it (no move number), and an empty line (read as an empty
// board, as the FEN reader takes it).
const std::string epd =
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -\n"
    "rnbqkbnr/ppp1pppp/8/3p4/3P4/8/PPP1PPPP/RNBQKBNR w KQkq - 0 2\n"
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\n"
    "not a position\n"
    "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3\n"
    "8/8/8/4k3/8/8/3QK3/8 b - - 0 9\n"
    "8/8/8/4k3/8/8/3QK3/8 w - -\n"
    "\n";

class ReportOption : public ToolRun {
protected:
    void SetUp() override {
        dir.write("games.pgn", games);
        dir.write("pos.epd", epd);
    }
    Json report(const std::string& name = "report.json") const {
        EXPECT_TRUE(dir.exists(name));
        return Json::parse(dir.read(name));
    }
    // No temporary report is ever left behind.
    void expect_no_temporary_files() const {
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
                << entry.path();
    }
    std::string version() const { return vorline({"-v"}).out.substr(8); }
};

TEST(JsonWriter, EscapesWhatJsonRequiresAndKeepsTheTextValidUtf8) {
    JsonWriter json;
    json.begin_object();
    json.key("quote\"back\\slash").value("line\nfeed\ttab\x01\x1f\x7f end");
    json.key("utf8").value("Caf\xC3\xA9 \xE2\x99\x9E \xF0\x9F\x98\x80");
    // A stray continuation byte, a cut sequence, an overlong form and a surrogate.
    json.key("bytes").value(
        "a\x80"
        "b\xC3"
        "c\xC0\xAF"
        "d\xED\xA0\x80");
    json.key("numbers").begin_array();
    json.value(std::uint64_t{18446744073709551615u});
    json.value(-5);
    json.value(1.23456);
    json.end_array();
    json.key("nested").begin_object();
    json.key("none").null();
    json.key("flag").value(true);
    json.key("empty").begin_array();
    json.end_array();
    json.end_object();
    json.end_object();
    const Json read = Json::parse(json.text());
    EXPECT_EQ(read["quote\"back\\slash"], "line\nfeed\ttab\x01\x1f\x7f end");
    EXPECT_EQ(read["utf8"], "Caf\xC3\xA9 \xE2\x99\x9E \xF0\x9F\x98\x80");
    const std::string replaced = "\xEF\xBF\xBD";
    EXPECT_EQ(read["bytes"], "a" + replaced + "b" + replaced + "c" + replaced + replaced + "d" +
                                 replaced + replaced + replaced);
    EXPECT_EQ(read["numbers"], Json::parse("[18446744073709551615, -5, 1.235]"));
    EXPECT_EQ(read["nested"], Json::parse(R"({"none": null, "flag": true, "empty": []})"));
    EXPECT_TRUE(json.text().ends_with("}\n"));
}

TEST_F(ReportOption, CompleteRunEveryField) {
    const std::vector<std::string> arguments{"-p", "games.pgn", "-e", "pos.epd", "-d",
                                             "4",  "-t",        "1",  "-r",      "report.json"};
    const ProcessResult result = vorline(arguments);
    // What the run prints and writes is the same as without the report.
    const TempDir plain;
    plain.write("games.pgn", games);
    plain.write("pos.epd", epd);
    const ProcessResult without =
        run_process(VORLINE_EXE, {"-p", "games.pgn", "-e", "pos.epd", "-d", "4", "-t", "1"},
                    plain.path().string());
    EXPECT_EQ(std::tie(result.exit_status, result.out, result.err),
              std::tie(without.exit_status, without.out, without.err));
    for (const char* file : {"pos.pgn", "failed.epd"}) EXPECT_EQ(dir.read(file), plain.read(file));

    const Json read = report();
    const std::uint64_t epd_size = epd.size(), pgn_size = games.size();
    const Json expected = {
        {"version", version().substr(0, version().size() - 1)},
        {"arguments", arguments},
        {"pgn", {{"name", "games.pgn"}, {"size", pgn_size}, {"compression", "plain"}}},
        {"epd", {{"name", "pos.epd"}, {"size", epd_size}, {"compression", "plain"}}},
        {"depth", 4},
        {"threads", 1},
        {"games_read", 4},
        {"games_skipped_for_fen", 1},
        {"games_stopped_at_bad_move", 1},
        {"positions_indexed", 6},
        {"lines_found", 3},
        {"lines_not_found", 5},
        {"found_by_half_moves", {1, 0, 1, 1}},
        {"lines_unreadable", 1},
        {"lines_beyond_depth", 2},
        {"depth_covering_them", 17},
        {"output",
         {{"name", "pos.pgn"},
          {"created", true},
          {"bytes_before", 0},
          {"games_before", 0},
          {"games_added", 3},
          {"games_after", 3}}},
        {"failed_epd", "failed.epd"},
        {"seconds", read["seconds"]},
        {"outcome", "finished"},
        {"reason", nullptr},
        {"exit_status", 0},
        {"hints", {"2 lines not found name a move number beyond depth 4; -d 17 covers them"}},
    };
    EXPECT_EQ(read, expected);
    EXPECT_TRUE(read["seconds"].is_number() && read["seconds"] >= 0 && read["seconds"] < 60);
    // Members in the documented order, one per line.
    EXPECT_TRUE(dir.read("report.json").starts_with("{\n  \"version\":"));

    // Run again: appended to, so the games before are not counted; the report is replaced.
    const std::uint64_t size = dir.read("pos.pgn").size();
    ASSERT_EQ(vorline(arguments).exit_status, 0);
    const Json again = report();
    EXPECT_EQ(again["output"], Json({{"name", "pos.pgn"},
                                     {"created", false},
                                     {"bytes_before", size},
                                     {"games_before", nullptr},
                                     {"games_added", 3},
                                     {"games_after", nullptr}}));
    expect_no_temporary_files();
}

TEST_F(ReportOption, ToStandardErrorAndCompressedInputs) {
    if (std::system("command -v zstd >/dev/null 2>&1") != 0) GTEST_SKIP() << "zstd is missing";
    ASSERT_EQ(std::system(("zstd -q " + dir.file("games.pgn")).c_str()), 0);
    const ProcessResult result = vorline({"-p", "games.pgn.zst", "-e", "pos.epd", "-r", "-"});
    EXPECT_EQ(result.exit_status, 0);
    const Json read = Json::parse(result.err);
    EXPECT_EQ(read["pgn"]["compression"], "zstd");
    EXPECT_EQ(read["pgn"]["size"], fs::file_size(dir.path() / "games.pgn.zst"));
    EXPECT_EQ(read["games_read"], 4);
    EXPECT_EQ(read["lines_beyond_depth"], 0);
    EXPECT_EQ(read["hints"], Json::array());
}

TEST_F(ReportOption, InterruptedRun) {
    std::string many;
    for (int i = 0; i < 300; ++i) many += epd;
    dir.write("pos.epd", many);
    Process run =
        start({"-p", "games.pgn", "-e", "pos.epd", "-r", "report.json"}, troubled("pos.epd", -1));
    ASSERT_TRUE(run.wait_for_output("writing pos.pgn ...\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    run.send(SIGINT);
    const ProcessResult result = run.wait();
    EXPECT_EQ(result.exit_status, 128 + SIGINT);
    EXPECT_EQ(dir.read("pos.pgn"), "");
    const Json read = report();
    EXPECT_EQ(read["outcome"], "interrupted");
    EXPECT_EQ(read["exit_status"], 128 + SIGINT);
    EXPECT_EQ(read["games_read"], 4);
    EXPECT_EQ(read["positions_indexed"], 6);
    const std::uint64_t answered =
        read["lines_found"].get<std::uint64_t>() + read["lines_not_found"].get<std::uint64_t>();
    EXPECT_LT(answered, 300u * 8);
    EXPECT_EQ(read["output"]["games_added"], 0);
    EXPECT_EQ(read["output"]["games_after"], 0);
    EXPECT_EQ(read["hints"], Json::array());
    expect_no_temporary_files();
}

// Every failure writes the report with its message as the outcome; none leaves a
// temporary file, and a report named like an input never takes its place.
TEST_F(ReportOption, FailedRuns) {
    struct Row {
        std::vector<std::string> arguments;
        std::string outcome;
        Json reason = nullptr;
        ProcessOptions options = {};
    };
    const Row rows[] = {
        {{"-r", "report.json", "-p", "missing.pgn", "-e", "pos.epd"},
         "Problem with input pgn-file missing.pgn",
         "No such file or directory"},
        {{"-r", "report.json", "-p", "games.pgn"}, "Missing epd file"},
        {{"-p", "games.pgn", "-e", "pos.epd", "-r", "report.json", "-o", "none/out.pgn"},
         "Error while opening none/out.pgn",
         "No such file or directory"},
        {{"-p", "games.pgn", "-e", "pos.epd", "-r", "report.json"},
         "Error while reading games.pgn",
         "games.pgn: Input/output error",
         troubled("games.pgn", 40)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.arguments));
        fs::remove(dir.path() / "report.json");
        const ProcessResult result = vorline(row.arguments, row.options);
        EXPECT_EQ(result.exit_status, failed);
        EXPECT_NE((result.out + result.err).find(row.outcome + "\n"), std::string::npos)
            << result.out << result.err;
        const Json read = report();
        EXPECT_EQ(read["outcome"], row.outcome);
        EXPECT_EQ(read["reason"], row.reason);
        EXPECT_EQ(read["exit_status"], failed);
        EXPECT_EQ(read["arguments"], row.arguments);
        const bool ran = row.outcome.starts_with("Error while reading");
        EXPECT_EQ(read["games_read"].is_null(), !ran);
        EXPECT_EQ(read["output"].is_null(), !ran);
        EXPECT_EQ(read["hints"], Json::array());
    }
    EXPECT_EQ(report()["pgn"],
              Json({{"name", "games.pgn"}, {"size", games.size()}, {"compression", "plain"}}));

    // A report that cannot be made fails the run before any work; one named like an input
    // is refused and leaves the input as it was.
    const ProcessResult no_folder =
        vorline({"-r", "none/report.json", "-p", "games.pgn", "-e", "pos.epd"});
    EXPECT_EQ(std::tie(no_folder.exit_status, no_folder.out, no_folder.err),
              std::make_tuple(failed, "Error while opening none/report.json\n",
                              "none/report.json: No such file or directory\n"));
    for (const char* input : {"games.pgn", "pos.epd"}) {
        const ProcessResult result = vorline({"-r", input, "-p", "games.pgn", "-e", "pos.epd"});
        EXPECT_EQ(result.exit_status, failed);
        EXPECT_TRUE(
            result.out.ends_with("Output file is an input file: " + std::string(input) + "\n"))
            << result.out;
        const ProcessResult usage =
            vorline({"-r", input, "-p", "games.pgn", "-e", "pos.epd", "-o"});
        EXPECT_EQ(usage.exit_status, failed);
    }
    EXPECT_EQ(dir.read("games.pgn"), games);
    EXPECT_EQ(dir.read("pos.epd"), epd);
    EXPECT_EQ(dir.read("pos.pgn"), "");  // made empty by the run that failed to read
    expect_no_temporary_files();
}

TEST_F(ReportOption, VersionOption) {
    const ProcessResult result = vorline({"-r", "report.json", "-v", "-p", "missing.pgn"});
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_TRUE(result.out.starts_with("vorline 1.")) << result.out;
    EXPECT_TRUE(result.out.ends_with("\n"));
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(vorline({"-version"}).out, result.out);
    // Neither the version nor the help text writes a report.
    EXPECT_FALSE(dir.exists("report.json"));
    EXPECT_EQ(vorline({"-r", "report.json", "-h"}).exit_status, 0);
    EXPECT_FALSE(dir.exists("report.json"));
    expect_no_temporary_files();
}

}  // namespace

}  // namespace vorline
