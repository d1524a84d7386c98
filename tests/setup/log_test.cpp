// The setup log of the real qvsetup.exe: what a run of the sample media
// writes, in order; what a run killed in a PROG leaves; a log that can't be
// written; and no file at all without LOG.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/kit/bench.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

// The position of the first line at or after `from` that begins with
// `start`; npos when there is none.
size_t Find(const std::vector<std::string>& lines, const std::string& start, size_t from = 0)
{
    for (size_t i = from; i < lines.size(); ++i) {
        if (lines[i].compare(0, start.size(), start) == 0)
            return i;
    }
    return std::string::npos;
}

// Success when every line of `starts` is found, in that order.
testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& starts)
{
    size_t at = 0;
    for (const std::string& start : starts) {
        const size_t found = Find(lines, start, at);
        if (found == std::string::npos) {
            std::string all;
            for (const std::string& line : lines)
                all += "  " + line + "\n";
            return testing::AssertionFailure() << "no \"" << start << "\" after line " << at
                                               << " of the log:\n" << all;
        }
        at = found + 1;
    }
    return testing::AssertionSuccess();
}

std::set<std::string> FolderNames(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string WindowsFolder()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

std::string TempFolder()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string text = folder;
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text;
}

// A run of one application: a stamp, a message, a stamp; answers the stamps.
std::vector<std::string> SmallRun(const std::string& logLine, DWORD* milliseconds)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "BACKGROUND=NO", logLine});
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("a"), "MSGBOX,hello",
                                           "PROG," + media.Stamp("b")},
                                     {}, ""});
    const DWORD start = GetTickCount();
    SetupRun run(media.folder());
    EXPECT_NE(run.StartInstall(), nullptr);
    DWORD exitCode = 1;
    EXPECT_TRUE(FollowRun(run, RunHooks(), 20000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    *milliseconds = GetTickCount() - start;
    return media.StampLabels();
}

TEST(SetupLog, WrittenOnlyWhenAskedAndNeverInTheWay)
{
    // The sample media with LOG: the choice, every command with its fields,
    // every box with its answer, the end, in that order.
    {
        SCOPED_TRACE("the sample media");
        SampleMedia sample("LOG=%WINDIR%\\QVSAMPLE.LOG");
        const std::string log = WindowsFolder() + "\\QVSAMPLE.LOG";
        DeleteFileA(log.c_str());
        DWORD exitCode = 1;
        EXPECT_TRUE(sample.Run(&exitCode));
        EXPECT_EQ(exitCode, 0u);
        const std::vector<std::string> lines = SetupLogLines(log);
        EXPECT_TRUE(InOrder(lines, {"qvsetup ", "source folder ", "settings: ", "folders: ",
                                    "offered: \"ﾕｰﾃｨﾘﾃｨ ﾂｰﾙ\"", "Install pressed",
                                    "chosen: \"ﾕｰﾃｨﾘﾃｨ ﾂｰﾙ\"", "chosen: \"完了のお知らせ\"",
                                    "commands of the master INF", "command MSGBOX \"ｾｯﾄｱｯﾌﾟを開始します.",
                                    "box \"ｻﾝﾌﾟﾙ ｾｯﾄｱｯﾌﾟ\": ｾｯﾄｱｯﾌﾟを開始します.", "box answered: OK",
                                    "MSGBOX done", "application \"ﾕｰﾃｨﾘﾃｨ ﾂｰﾙ\"", "command PROG \"",
                                    "PROG's program ended after ", "command SLEEP \"500\"",
                                    "SLEEP ended after ", "command COPY \"R:\\README.TXT\"",
                                    "drive check DISC2: looking for R:\\DISC2.ID",
                                    "drive check DISC2: found", "COPY done", "command ATTENTION",
                                    "ATTENTION ended the run", "the run ends",
                                    "qvsetup ends with exit code 0"}));
        DeleteFileA(log.c_str());
    }
    // Killed while its PROG waits: the last line written is that PROG's start.
    {
        SCOPED_TRACE("killed in a PROG");
        MediaFolder media;
        const std::string log = media.Path("RUN.LOG");
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", "LOG=" + log});
        media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1", "PROG," + media.Stamp("wait", 20000)}, {}, ""});
        {
            SetupRun run(media.folder());
            ASSERT_NE(run.StartInstall(), nullptr);
            ASSERT_TRUE(WaitUntil([&] { return !media.StampLabels().empty(); }, 10000));
        }
        const std::vector<std::string> lines = SetupLogLines(log);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind("command PROG ", 0), 0u) << lines.back();
    }
    // A log that can't be written changes nothing: the same commands run,
    // nothing appears, and there is no delay.
    {
        SCOPED_TRACE("a log that can't be written");
        DWORD plain = 0, missingFolder = 0, readOnly = 0;
        const std::vector<std::string> stamps = SmallRun("", &plain);
        EXPECT_EQ(stamps, (std::vector<std::string>{"a", "b"}));
        const std::string folder = TempFolder() + "\\qvkit-no-such-folder";
        EXPECT_EQ(SmallRun("LOG=" + folder + "\\Q.LOG", &missingFolder), stamps);
        EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
        const std::string locked = TempFolder() + "\\qvkit-read-only.log";
        ASSERT_TRUE(WriteBytes(locked, "kept\r\n"));
        SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(SmallRun("LOG=" + locked, &readOnly), stamps);
        EXPECT_EQ(ReadBytes(locked), "kept\r\n");
        SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(locked.c_str());
        // A name longer than LOG can hold would be cut: no file of the cut name.
        DWORD cut = 0;
        const std::string longName = TempFolder() + "\\qvkit-cut-" + std::string(300, 'L') + ".LOG";
        EXPECT_EQ(SmallRun("LOG=" + longName, &cut), stamps);
        for (const std::string& name : FolderNames(TempFolder()))
            EXPECT_NE(name.rfind("qvkit-cut-", 0), 0u) << name;
        EXPECT_LT(missingFolder, plain + 1000);
        EXPECT_LT(readOnly, plain + 1000);
    }
    // Without LOG no file is made: not in the media folder, the Windows
    // folder or the temporary folder.
    {
        SCOPED_TRACE("without LOG");
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", "BACKGROUND=NO"});
        media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1", "MSGBOX,hello"}, {}, ""});
        const std::vector<std::string> folders = {media.folder(), WindowsFolder(), TempFolder()};
        std::vector<std::set<std::string>> before;
        for (const std::string& folder : folders)
            before.push_back(FolderNames(folder));
        SetupRun run(media.folder());
        ASSERT_NE(run.StartInstall(), nullptr);
        DWORD exitCode = 1;
        EXPECT_TRUE(FollowRun(run, RunHooks(), 20000, &exitCode));
        for (size_t i = 0; i < folders.size(); ++i)
            EXPECT_EQ(FolderNames(folders[i]), before[i]) << folders[i];
    }
}

} // namespace
