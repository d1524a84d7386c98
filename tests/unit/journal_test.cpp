#include "setup/core/journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::unique_ptr<Journal> Sample(uint32_t sequence, int32_t next)
{
    auto journal = std::make_unique<Journal>();
    memset(journal.get(), 0, sizeof *journal);
    journal->sequence = sequence;
    strcpy(journal->runId, "20261208-100501");
    strcpy(journal->sourceDir, "R:\\\x95\x5C");
    strcpy(journal->masterInfPath, "R:\\\x95\x5C\\QVSETUP.INF");
    journal->masterSize = 1234;
    journal->masterSum = 4201327523u;   // ten digits
    journal->masterSummed = true;
    journal->cdromLetter = 'R';
    strcpy(journal->answerFile, "C:\\QA\\ANSWERS.INI");
    journal->seconds = 42;
    journal->appCount = 2;
    journal->apps[0] = JournalApp{"[DefaultInstall]", AppStatus::Done, 3, 1};
    journal->apps[1] = JournalApp{"QV,A.INF", AppStatus::Running, next, 7, true, 2048, 4201327524u};
    journal->resumes = JournalResumes{2, 1, next};
    journal->commandRunning = true;
    return journal;
}

std::string Text(const Journal& journal)
{
    std::string text(8192, '\0');
    text.resize(FormatJournal(journal, &text[0], text.size()));
    return text;
}

TEST(Journal, ReadsBackWhatItWrote)
{
    const auto written = Sample(6, 4);
    const std::string text = Text(*written);
    ASSERT_FALSE(text.empty());
    Journal read;
    ASSERT_TRUE(ReadJournalText(text.data(), text.size(), &read));
    EXPECT_EQ(read.sequence, 6u);
    EXPECT_STREQ(read.sourceDir, written->sourceDir);
    EXPECT_EQ(read.cdromLetter, 'R');
    EXPECT_EQ(read.masterSum, 4201327523u);
    ASSERT_EQ(read.appCount, 2);
    EXPECT_STREQ(read.apps[1].name, "QV,A.INF");
    EXPECT_EQ(read.apps[1].status, AppStatus::Running);
    EXPECT_EQ(read.apps[1].nextCommand, 4);
    EXPECT_EQ(CurrentJournalApp(read), 1);
    // The stamp belongs to its own application; the count of starts that
    // went on at one command comes back with that command.
    EXPECT_FALSE(read.apps[0].stamped);
    EXPECT_TRUE(read.apps[1].stamped);
    EXPECT_EQ(read.apps[1].infSize, 2048u);
    EXPECT_EQ(read.apps[1].infSum, 4201327524u);
    EXPECT_EQ(read.resumes.count, 2u);
    EXPECT_EQ(read.resumes.app, 1);
    EXPECT_EQ(read.resumes.command, 4);
    EXPECT_TRUE(read.commandRunning);
    // A journal of an earlier qvsetup (the master INF's time kept, no
    // stamps or counts) still reads; its master INF is known by its size.
    std::string older = text.substr(0, text.find("Check="));
    for (const char* line : {"Resumed=2,1,4\r\n", "Running=1\r\n", "Inf=2048,4201327524\r\n"})
        older.erase(older.find(line), strlen(line));
    older.replace(older.find("MasterSum="), strlen("MasterSum="), "MasterTime=");
    char check[32];
    snprintf(check, sizeof check, "Check=%08lX\r\n", static_cast<unsigned long>(ContentSum(older.data(), older.size())));
    older += check;
    ASSERT_TRUE(ReadJournalText(older.data(), older.size(), &read));
    EXPECT_FALSE(read.masterSummed);
    EXPECT_FALSE(read.apps[1].stamped);
    EXPECT_EQ(read.resumes.count, 0u);
    // A field with a line break would make another journal: none is written.
    strcpy(written->answerFile, "C:\\A\r\nApp=done,0,0,X");
    EXPECT_TRUE(Text(*written).empty());
}

// A power cut while the new copy is written leaves it cut at any byte:
// the two copies then read as the old state or, once whole, as the new one;
// a changed byte anywhere is no journal.
TEST(Journal, ACopyCutAtEveryByteReadsAsTheOldStateOrTheNew)
{
    const std::string before = Text(*Sample(5, 2));
    const std::string after = Text(*Sample(6, 3));
    for (size_t cut = 0; cut <= after.size(); ++cut) {
        Journal read;
        const bool whole = cut == after.size();
        EXPECT_EQ(ReadJournalCopies(before.data(), before.size(), after.data(), cut, &read), whole ? 1 : 0);
        EXPECT_EQ(read.apps[1].nextCommand, whole ? 3 : 2) << cut;
        EXPECT_EQ(ReadJournalCopies(after.data(), cut, before.data(), before.size(), &read), whole ? 0 : 1);
        EXPECT_EQ(read.sequence, whole ? 6u : 5u) << cut;
    }
    for (size_t at = 0; at < after.size(); ++at) {
        std::string changed = after;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        Journal read;
        EXPECT_FALSE(ReadJournalText(changed.data(), changed.size(), &read)) << at;
    }
    Journal none;
    EXPECT_EQ(ReadJournalCopies("", 0, nullptr, 0, &none), -1);
}

} // namespace
