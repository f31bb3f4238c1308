// The rollback journal of an output: what a run that finds one left behind does to the output
// and to the files the journal names, for journals whole, torn, stale or forged.
#include "io/append_journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace vorline {

namespace {

namespace fs = std::filesystem;

const std::string before = "[Event \"before\"]\n\n1. e4 *\n\n";

class Journal : public ::testing::Test {
protected:
    void SetUp() override { dir.write("out.pgn", before); }
    // The output opened as a run opens it, and the run's journal recorded with `temporary`.
    void record(const std::string& temporary) {
        OutputFile output;
        ASSERT_TRUE(output.open(dir.file("out.pgn")));
        ASSERT_TRUE(AppendJournal(output).record(output, temporary));
        output.write("[Event \"appended\"]\n");
        output.close();
    }
    // What the next run finds: true when it cut the output back.
    bool roll_back() {
        OutputFile output;
        EXPECT_TRUE(output.open(dir.file("out.pgn")));
        return AppendJournal(output).roll_back(output);
    }
    std::string journal_name() const { return "out.pgn.vorline-journal"; }

    TempDir dir;
};

TEST_F(Journal, RunThatEndedAbruptlyIsUndone) {
    EXPECT_FALSE(roll_back());  // no journal: nothing to do
    const std::string temporary = dir.file("failed.epd.new.AbC123");
    dir.write("failed.epd.new.AbC123", "half a line");
    record(temporary);
    EXPECT_TRUE(roll_back());
    EXPECT_EQ(dir.read("out.pgn"), before);
    EXPECT_FALSE(dir.exists("failed.epd.new.AbC123"));
    EXPECT_FALSE(dir.exists(journal_name()));
    EXPECT_FALSE(roll_back());
}

// The temporary file is gone once renamed into place: the run had completed but for the
// removal of its journal, and its games stay.
TEST_F(Journal, RunThatPutFailedEpdInPlaceKeepsItsGames) {
    record(dir.file("failed.epd.new.AbC123"));
    EXPECT_FALSE(roll_back());
    EXPECT_EQ(dir.read("out.pgn"), before + "[Event \"appended\"]\n");
    EXPECT_FALSE(dir.exists(journal_name()));
}

TEST_F(Journal, TornStaleOrForgedJournalsCutNothingAndRemoveNoOtherFile) {
    dir.write("keep.txt", "a user's file");
    record(dir.file("keep.txt"));  // not a name the run gives its temporary files
    EXPECT_TRUE(roll_back());
    EXPECT_EQ(dir.read("keep.txt"), "a user's file");

    const std::string appended = before + "appended";
    dir.write("out.pgn", appended);
    dir.write(journal_name(), "vorline append journal\nsize 3\ndev");  // torn while written
    EXPECT_FALSE(roll_back());
    EXPECT_FALSE(dir.exists(journal_name()));

    // Recorded for a file that has been replaced under the name since.
    record("");
    fs::rename(dir.path() / "out.pgn", dir.path() / "old.pgn");
    dir.write("out.pgn", appended);
    EXPECT_FALSE(roll_back());
    EXPECT_EQ(dir.read("out.pgn"), appended);
    EXPECT_FALSE(dir.exists(journal_name()));
}

}  // namespace

}  // namespace vorline
