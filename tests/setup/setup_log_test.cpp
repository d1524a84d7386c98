// The setup log's queue, in-process: lines that find no room while the
// writer is held up are counted, and the log names the hole before the
// next line it keeps.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/core/media.h"
#include "setup/core/setup_log.h"
#include "tests/kit/bench.h"

namespace {

constexpr DWORD WriterIdleMs = 100;   // time for the writer to leave its lock and wait again

// Suspends (or resumes) every other thread of this process, the log's
// writer among them.
void HoldOtherThreads(bool hold)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId() ||
            entry.th32ThreadID == GetCurrentThreadId())
            continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        if (hold)
            SuspendThread(thread);
        else
            ResumeThread(thread);
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
}

TEST(SetupLog, NamesTheLinesItHadNoRoomFor)
{
    constexpr int Lines = 100;   // of about 1 KiB each: more than the 64 KiB queue holds
    const std::string folder = MakeTempFolder("log");
    const std::string path = folder + "\\QV.LOG";
    Media media = {};
    snprintf(media.config.logPath, sizeof media.config.logPath, "%s", path.c_str());
    StartSetupLog(Machine{}, media);
    ASSERT_TRUE(SetupLogIsOn());
    LogEvent("first");
    FlushSetupLog();
    Sleep(WriterIdleMs);
    HoldOtherThreads(true);
    const std::string filler(1000, 'x');
    for (int i = 0; i < Lines; ++i)
        LogEvent("line %d %s", i, filler.c_str());
    HoldOtherThreads(false);
    FlushSetupLog();
    LogEvent("after");
    FinishSetupLog();

    const std::vector<std::string> lines = TextLines(ReadBytes(path));
    int kept = 0;
    unsigned long lost = 0;
    size_t lostAt = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        kept += lines[i].find(" line ") != std::string::npos;
        if (sscanf(lines[i].c_str() + lines[i].find(' ', 11) + 1, "%lu lines lost", &lost) == 1)
            lostAt = i;
    }
    EXPECT_GT(kept, 0);
    EXPECT_GT(lost, 0u);
    EXPECT_EQ(kept + static_cast<int>(lost), Lines);
    ASSERT_GT(lostAt, 0u);
    ASSERT_LT(lostAt + 1, lines.size());
    EXPECT_NE(lines[lostAt + 1].find(" after"), std::string::npos);
    RemoveTree(folder);
}

} // namespace
