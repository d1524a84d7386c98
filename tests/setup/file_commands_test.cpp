// File commands of the real qvsetup.exe: COPY, EXPAND, DELETE, DELALL,
// SETATT, EXIST, XCOPY and XCOPYA, seen on the disk they change.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

struct Outcome {
    bool ended = false;
    DWORD exitCode = 0;
    std::string box;               // text of the message box, if one was shown
    std::vector<std::string> stamps;
};

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD Attributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

class FileCommands : public testing::Test {
protected:
    void SetUp() override
    {
        work_ = MakeTempFolder("files");
        ASSERT_FALSE(work_.empty());
    }
    void TearDown() override { RemoveTree(work_); }

    std::string Work(const std::string& name) const { return work_ + "\\" + name; }

    void MakeFile(const std::string& path, const std::string& bytes = "data",
                  DWORD attributes = FILE_ATTRIBUTE_NORMAL) const
    {
        MakeParentFolders(path, work_.size());
        ASSERT_TRUE(WriteBytes(path, bytes)) << path;
        SetFileAttributesA(path.c_str(), attributes);
    }

    // Installs one application whose [Install] is `install` followed by a
    // stamp "after"; answers the message box that appears, if any.
    Outcome Run(std::vector<std::string> install, const std::string& config = "")
    {
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", config});
        install.push_back("PROG," + media.Stamp("after"));
        media.WriteApp("QVA.INF", AppInf{"A", install, {}, ""});
        SetupRun run(media.folder());
        Outcome outcome;
        HWND dialog = run.WaitForSelectionDialog();
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return outcome;
        PressButton(dialog, IDC_INSTALL);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 60000 && !outcome.ended) {
            if (HWND box = run.WaitForMessageBox(50)) {
                outcome.box = ReadMessageBox(box).text;
                PressButton(box, IDOK);
                WaitUntil([&] { return !IsWindow(box); }, 5000);
            }
            outcome.ended = run.WaitForExit(50, &outcome.exitCode);
        }
        outcome.stamps = media.StampLabels();
        return outcome;
    }

    // Success when the run ended with exit code 0 after showing `message`
    // (empty: no box), and reached its last command or not.
    static testing::AssertionResult Ended(const Outcome& outcome, const std::string& message,
                                          bool completed)
    {
        if (!outcome.ended || outcome.exitCode != 0)
            return testing::AssertionFailure() << "the run did not end with 0 (ended " << outcome.ended
                                               << ", code " << outcome.exitCode << ")";
        if (outcome.box != message)
            return testing::AssertionFailure() << "box: \"" << outcome.box << "\"";
        if (outcome.stamps != (completed ? std::vector<std::string>{"after"} : std::vector<std::string>{}))
            return testing::AssertionFailure() << (completed ? "the last command did not run"
                                                             : "a later command ran");
        return testing::AssertionSuccess();
    }

    // The run went through to its last command.
    static testing::AssertionResult Completed(const Outcome& outcome)
    {
        return Ended(outcome, "", true);
    }

    // The run ended at the command, with `message` (empty: silently).
    static testing::AssertionResult EndedWith(const Outcome& outcome, const std::string& message)
    {
        return Ended(outcome, message, false);
    }

    std::string work_;
};

TEST_F(FileCommands, CopyCreatesFoldersAndReplacesReadOnlyDestinations)
{
    MakeFile(Work("SRC\\F.TXT"), "new contents", FILE_ATTRIBUTE_READONLY);
    MakeFile(Work("OLD\\F.TXT"), "old", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Completed(Run({"COPY," + Work("SRC\\F.TXT") + "," + Work("A\\B\\C\\F.TXT"),
                         "COPY," + Work("SRC\\F.TXT") + "," + Work("OLD\\F.TXT")})));
    EXPECT_EQ(ReadBytes(Work("A\\B\\C\\F.TXT")), "new contents");
    EXPECT_EQ(ReadBytes(Work("OLD\\F.TXT")), "new contents");
    EXPECT_EQ(ReadBytes(Work("SRC\\F.TXT")), "new contents");
    EXPECT_EQ(Attributes(Work("SRC\\F.TXT")) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

// A missing source, and a source that is its own destination (by its name
// in another case, or by its short name): the run ends with the box, and
// the files stay as they were; an expansion would have emptied them.
TEST_F(FileCommands, CopyOfAMissingSourceOrOntoItselfEndsTheRun)
{
    const std::string source = Work("NOSUCH.TXT");
    MakeFile(Work("OUT\\X.TXT"), "old");
    for (const std::string keyword : {"COPY", "EXPAND"}) {
        EXPECT_TRUE(EndedWith(Run({keyword + "," + source + "," + Work("OUT\\X.TXT")}),
                    "ﾌｧｲﾙの展開に失敗しました.\n" + source));
        EXPECT_EQ(ReadBytes(Work("OUT\\X.TXT")), "old");
    }
    const std::string own = Work("LONGFOLDERNAME\\OWN.TXT");
    MakeFile(own, "kept");
    char shortName[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(own.c_str(), shortName, sizeof shortName), 0u);
    for (const std::string keyword : {"COPY", "EXPAND"}) {
        for (const std::string& destination : {Work("longfoldername\\own.txt"), std::string(shortName)}) {
            SCOPED_TRACE(keyword + " onto " + destination);
            EXPECT_TRUE(EndedWith(Run({keyword + "," + own + "," + destination}),
                        "ﾌｧｲﾙの展開に失敗しました.\n" + own));
            EXPECT_EQ(ReadBytes(own), "kept");
        }
    }
}

TEST_F(FileCommands, DoubleByteNamesWithBackslashTrailBytes)
{
    // "表" and "ソ" end in the byte 5C, which is also the path separator.
    const std::string source = Work("表示\\ソフト.TXT");
    MakeFile(source, "cp932");
    EXPECT_TRUE(Completed(Run({"COPY," + source + "," + Work("出力表\\ソ\\ソフト.TXT"),
                         "XCOPYA," + Work("表示") + "," + Work("複製表"),
                         "DELALL," + Work("出力表") + ",1"})));
    EXPECT_EQ(ReadBytes(Work("複製表\\ソフト.TXT")), "cp932");
    EXPECT_FALSE(Exists(Work("出力表")));
    EXPECT_EQ(ReadBytes(source), "cp932");
}

// Where users live: a source folder whose name ends in a character with a
// backslash byte (a destination beside it is not inside it), a log under a
// folder with a blank, and a source folder that exists but can't be listed
// (with "\*.*" it passes 259 bytes), which fails instead of copying nothing.
TEST_F(FileCommands, JapaneseFoldersLogsWithBlanksAndUnlistableSources)
{
    MakeFile(Work("表\\SUB\\F.TXT"), "tree");
    MakeFile(Work("表\\G.TXT"), "top");
    MakeFile(Work("log dir\\OLD.TXT"));
    const std::string log = Work("log dir\\QV.LOG");
    EXPECT_TRUE(Completed(Run({"XCOPYA," + Work("表") + "," + Work("表示")}, "LOG=" + log)));
    EXPECT_EQ(ReadBytes(Work("表示\\SUB\\F.TXT")), "tree");
    EXPECT_EQ(ReadBytes(Work("表示\\G.TXT")), "top");
    EXPECT_NE(ReadBytes(log).find("command XCOPYA"), std::string::npos);
    const std::string source = Work(std::string(257 - work_.size() - 1, 'S'));
    ASSERT_EQ(source.size(), 257u);
    // The folder fits, its listing pattern does not (nor would any file in it).
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    EXPECT_TRUE(EndedWith(Run({"XCOPY," + source + "," + Work("OUT")}), "ﾌｧｲﾙのｺﾋﾟｰに失敗しました."));
}

TEST_F(FileCommands, ExpandGivesTheOriginalsAndRefusesDamagedFiles)
{
    const std::string fixtures = ProgramFolder() + "\\lz-fixtures";
    EXPECT_TRUE(Completed(Run({"EXPAND," + fixtures + "\\TEXT.TX_," + Work("OUT\\TEXT.TXT"),
                         "EXPAND," + fixtures + "\\BINARY.BI_," + Work("OUT\\BINARY.BIN"),
                         "EXPAND," + fixtures + "\\TEXT.TXT," + Work("OUT\\PLAIN.TXT")})));
    EXPECT_EQ(ReadBytes(Work("OUT\\TEXT.TXT")), ReadBytes(fixtures + "\\TEXT.TXT"));
    EXPECT_EQ(ReadBytes(Work("OUT\\BINARY.BIN")), ReadBytes(fixtures + "\\BINARY.BIN"));
    EXPECT_EQ(ReadBytes(Work("OUT\\PLAIN.TXT")), ReadBytes(fixtures + "\\TEXT.TXT"));
    const std::string damaged = fixtures + "\\DAMAGED.TX_";
    EXPECT_TRUE(EndedWith(Run({"EXPAND," + damaged + "," + Work("OUT\\D.TXT")}),
                "ﾌｧｲﾙの展開に失敗しました.\n" + damaged));
}

TEST_F(FileCommands, DeleteRemovesOneFileAndNeedsItsFolder)
{
    MakeFile(Work("D\\GONE.TXT"), "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(Work("D\\STAYS.TXT"));
    EXPECT_TRUE(Completed(Run({"DELETE," + Work("D\\GONE.TXT"), "DELETE," + Work("D\\NOSUCH.TXT"),
                         "DELETE," + Work("D\\*.TXT")})));
    EXPECT_FALSE(Exists(Work("D\\GONE.TXT")));
    EXPECT_TRUE(Exists(Work("D\\STAYS.TXT")));
    EXPECT_TRUE(EndedWith(Run({"DELETE," + Work("NOFOLDER\\X.TXT")}), ""));
}

TEST_F(FileCommands, DelallWithoutAndWithSubfolders)
{
    const DWORD stubborn = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    MakeFile(Work("T\\A.TXT"), "a", stubborn);
    MakeFile(Work("T\\SUB\\B.TXT"));
    MakeFile(Work("T\\.KEEP"));
    MakeFile(Work("U\\A.TXT"), "a", stubborn);
    MakeFile(Work("U\\SUB\\B.TXT"), "b", stubborn);
    MakeFile(Work("U\\DOT\\.KEEP"));
    MakeFile(Work("U\\DEEP\\ER\\C.TXT"));
    MakeFile(Work("V\\A.TXT"));
    EXPECT_TRUE(Completed(Run({"DELALL," + Work("T"), "DELALL," + Work("U") + ",1",
                         "DELALL," + Work("V") + ",1", "DELALL," + Work("NOSUCH") + ",1"})));
    EXPECT_FALSE(Exists(Work("T\\A.TXT")));
    EXPECT_TRUE(Exists(Work("T\\SUB\\B.TXT")));
    EXPECT_TRUE(Exists(Work("T\\.KEEP")));
    EXPECT_FALSE(Exists(Work("U\\A.TXT")));
    EXPECT_FALSE(Exists(Work("U\\SUB")));
    EXPECT_FALSE(Exists(Work("U\\DEEP")));
    EXPECT_TRUE(Exists(Work("U\\DOT\\.KEEP")));
    EXPECT_FALSE(Exists(Work("V")));
    EXPECT_TRUE(EndedWith(Run({"DELALL," + Work("NOFOLDER\\X") + ",1"}), ""));
}

TEST_F(FileCommands, SetattGrammar)
{
    const DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN,
                S = FILE_ATTRIBUTE_SYSTEM, A = FILE_ATTRIBUTE_ARCHIVE;
    const std::string message = "ﾌｧｲﾙ属性の変更に失敗しました.\n";
    const struct {
        const char* changes;
        DWORD before;
        DWORD after;     // expected attributes when the run goes on
        bool ends;
        bool withMessage;
    } cases[] = {
        {"+R", 0, R, false, false},
        {"-R", R | A, A, false, false},
        {"+R-H", 0, R | H, false, false},
        {"\"+R -H\"", H, R, false, false},
        {"+a+s", 0, A | S, false, false},
        {"", R | H, R | H, false, false},
        {"R", 0, 0, true, false},
        {"S", 0, 0, true, false},
        {"H", 0, 0, true, true},
        {"+X", 0, 0, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.changes);
        const std::string file = Work("ATT.TXT");
        MakeFile(file);
        SetFileAttributesA(file.c_str(), c.before ? c.before : FILE_ATTRIBUTE_NORMAL);
        const Outcome outcome = Run({"SETATT," + file + "," + c.changes});
        if (c.ends) {
            EXPECT_TRUE(EndedWith(outcome, c.withMessage ? message + file : ""));
        } else {
            EXPECT_TRUE(Completed(outcome));
            // Wine reports the archive bit of every file: it is looked at
            // only where the case sets it.
            const DWORD seen = (c.after & A) ? (R | H | S | A) : (R | H | S);
            EXPECT_EQ(Attributes(file) & seen, c.after);
        }
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_TRUE(EndedWith(Run({"SETATT," + Work("NOSUCH.TXT") + ",+R"}), message + Work("NOSUCH.TXT")));
}

TEST_F(FileCommands, ExistWaitsTickAfterTickForAPattern)
{
    const std::string folder = Work("LATER");
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "SIGNAL=200"});
    media.WriteApp("QVA.INF", AppInf{"A", {"EXIST," + folder + "\\*.LOG",
                                           "PROG," + media.Stamp("after")},
                                     {}, ""});
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog();
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDC_INSTALL);
    Sleep(1500);
    EXPECT_TRUE(ReadStamps(media.StampFile()).empty());
    CreateDirectoryA(folder.c_str(), nullptr);
    MakeFile(folder + "\\OTHER.TXT");
    Sleep(800);
    EXPECT_TRUE(ReadStamps(media.StampFile()).empty());
    const DWORD appeared = GetTickCount();
    MakeFile(folder + "\\RUN.LOG");
    DWORD exitCode = 1;
    ASSERT_TRUE(run.WaitForExit(10000, &exitCode));
    const DWORD after = StampTick(ReadStamps(media.StampFile()), "after");
    ASSERT_NE(after, 0u);
    // Seen at the next tick, started at the tick after: two ticks at most.
    EXPECT_LE(static_cast<long>(after - appeared), 2 * 200 + 400);
}

TEST_F(FileCommands, XcopyCopiesFilesOnlyIntoADeepDestination)
{
    MakeFile(Work("S\\A.TXT"), "a");
    MakeFile(Work("S\\.HIDDEN"), "h");
    MakeFile(Work("S\\SUB\\B.TXT"), "b");
    MakeFile(Work("OUT\\1\\2\\3\\A.TXT"), "old", FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA(Work("EMPTY").c_str(), nullptr);
    EXPECT_TRUE(Completed(Run({"XCOPY," + Work("S") + "," + Work("OUT\\1\\2\\3"),
                         "XCOPY," + Work("EMPTY") + "," + Work("E1\\E2"),
                         "XCOPY," + Work("NOSUCH") + "," + Work("N")})));
    EXPECT_EQ(ReadBytes(Work("OUT\\1\\2\\3\\A.TXT")), "a");
    EXPECT_FALSE(Exists(Work("OUT\\1\\2\\3\\.HIDDEN")));
    EXPECT_FALSE(Exists(Work("OUT\\1\\2\\3\\SUB")));
    EXPECT_TRUE(Exists(Work("E1\\E2")));
    EXPECT_FALSE(Exists(Work("N")));
}

TEST_F(FileCommands, XcopyaCopiesTheTreeFilesFirst)
{
    MakeFile(Work("S\\A.TXT"), "a");
    MakeFile(Work("S\\.DOT\\X.TXT"));
    MakeFile(Work("S\\SUB\\B.TXT"), "b");
    MakeFile(Work("S\\SUB\\DEEP\\C.TXT"), "c");
    CreateDirectoryA(Work("S\\SUB\\EMPTY").c_str(), nullptr);
    EXPECT_TRUE(Completed(Run({"XCOPYA," + Work("S") + "," + Work("T")})));
    EXPECT_EQ(ReadBytes(Work("T\\A.TXT")), "a");
    EXPECT_EQ(ReadBytes(Work("T\\SUB\\B.TXT")), "b");
    EXPECT_EQ(ReadBytes(Work("T\\SUB\\DEEP\\C.TXT")), "c");
    EXPECT_TRUE(Exists(Work("T\\SUB\\EMPTY")));
    EXPECT_FALSE(Exists(Work("T\\.DOT")));

    // A file that can't be read stops the copy: every file of the root was
    // tried before any subfolder was entered.
    MakeFile(Work("L\\SUB\\B.TXT"));
    MakeFile(Work("L\\Z.TXT"));
    MakeFile(Work("L\\A.TXT"));
    HANDLE locked = CreateFileA(Work("L\\Z.TXT").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(EndedWith(Run({"XCOPYA," + Work("L") + "," + Work("M")}), "ﾌｧｲﾙのｺﾋﾟｰに失敗しました."));
    CloseHandle(locked);
    EXPECT_FALSE(Exists(Work("M\\SUB")));
    // A subfolder whose listing would pass 259 bytes can't be entered: the
    // copy fails rather than leave the rest of the tree out in silence.
    MakeFile(Work("W\\A.TXT"));
    ASSERT_TRUE(CreateDirectoryA((Work("W\\") + std::string(257 - Work("W").size() - 1, 'N')).c_str(),
                                 nullptr));
    EXPECT_TRUE(EndedWith(Run({"XCOPYA," + Work("W") + "," + Work("U")}), "ﾌｧｲﾙのｺﾋﾟｰに失敗しました."));
}

// FASTCOPY walks many entries a tick, in the same order: the same tree in
// the end, and a destination file held open in the middle stops both walks
// with the same box after the same entries.
TEST_F(FileCommands, FastCopyWalksAsThePacedCopy)
{
    for (int i = 0; i < 30; ++i)
        MakeFile(Work("S\\F" + std::to_string(i) + ".TXT"), std::to_string(i));
    for (int i = 0; i < 20; ++i)
        MakeFile(Work("S\\SUB\\G" + std::to_string(i) + ".TXT"));
    MakeFile(Work("S\\SUB\\DEEP\\H.TXT"));
    CreateDirectoryA(Work("S\\EMPTY").c_str(), nullptr);
    std::vector<std::string> trees[2], stopped[2];
    for (int fast = 0; fast < 2; ++fast) {
        SCOPED_TRACE(fast ? "FASTCOPY=YES" : "paced");
        const std::string mode = fast ? "FAST" : "PACED";
        const std::string config = fast ? "FASTCOPY=YES" : "";
        EXPECT_TRUE(Completed(Run({"XCOPYA," + Work("S") + "," + Work(mode)}, config)));
        trees[fast] = FileTree(Work(mode));
        EXPECT_TRUE(Exists(Work(mode + "\\EMPTY")));
        const std::string held = Work(mode + "-STOP\\SUB\\G9.TXT");
        MakeFile(held);
        HANDLE open = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(open, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(EndedWith(Run({"XCOPYA," + Work("S") + "," + Work(mode + "-STOP")}, config),
                              "ﾌｧｲﾙのｺﾋﾟｰに失敗しました."));
        CloseHandle(open);
        stopped[fast] = FileTree(Work(mode + "-STOP"));
    }
    EXPECT_EQ(trees[1], trees[0]);
    EXPECT_EQ(trees[0].size(), 51u);
    EXPECT_EQ(stopped[1], stopped[0]);
    EXPECT_GE(stopped[0].size(), 31u);
}

TEST_F(FileCommands, XcopyRefusesBadDestinations)
{
    MakeFile(Work("S\\A.TXT"));
    const std::string message = "ｺﾋﾟｰ先のﾌｫﾙﾀﾞ名が異常です.\n";
    EXPECT_TRUE(EndedWith(Run({"XCOPY," + Work("S") + "," + Work("T\\")}), message + Work("T\\")));
    // A tree copied into itself would never end.
    EXPECT_TRUE(EndedWith(Run({"XCOPYA," + Work("S") + "," + Work("S\\INNER")}),
                message + Work("S\\INNER")));
    EXPECT_FALSE(Exists(Work("S\\INNER")));
    // A file path that would pass 259 bytes is refused, not cut.
    MakeFile(Work("S\\" + std::string(40, 'L') + ".TXT"));
    std::string deep = Work("DEEP");
    while (deep.size() < 230)
        deep += "\\DDDDDDDDDD";
    EXPECT_TRUE(EndedWith(Run({"XCOPY," + Work("S") + "," + deep}), "ﾌｧｲﾙのｺﾋﾟｰに失敗しました."));
}

TEST_F(FileCommands, ProgressDialogShowsFoldersAndFile)
{
    for (int i = 0; i < 300; ++i)
        MakeFile(Work("BIG\\FILE" + std::to_string(i) + ".TXT"), std::string(2000, 'x'));
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    media.WriteApp("QVA.INF", AppInf{"A", {"XCOPY," + Work("BIG") + "," + Work("COPY")}, {}, ""});
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog();
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDC_INSTALL);
    HWND progress = run.WaitForCopyDialog();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(WindowText(progress), "ﾌｧｲﾙをｺﾋﾟｰしています...");
    EXPECT_EQ(WindowText(GetDlgItem(progress, IDC_COPY_SOURCE)), Work("BIG"));
    EXPECT_EQ(WindowText(GetDlgItem(progress, IDC_COPY_DEST)), Work("COPY"));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(progress, IDC_COPY_FILE)).rfind("FILE", 0) == 0; },
                          5000));
    ASSERT_TRUE(RunExits(run, 30000));
    EXPECT_EQ(ReadBytes(Work("COPY\\FILE299.TXT")), std::string(2000, 'x'));
}

TEST_F(FileCommands, CopyOntoAFullDriveEndsTheRun)
{
    const std::string disk = ProgramFolder() + "\\bench\\fulldisk";
    ASSERT_TRUE(MapDrive('F', disk, DRIVE_FIXED));
    ULARGE_INTEGER total = {};
    GetDiskFreeSpaceExA("F:\\", nullptr, &total, nullptr);
    if (total.QuadPart == 0 || total.QuadPart > 4u << 20) {
        UnmapDrive('F');
        GTEST_SKIP() << "no small file system could be mounted (mounting needs root)";
    }
    MakeFile(Work("BIG\\BIG.BIN"), std::string(1 << 20, 'b'));
    const Outcome copy = Run({"COPY," + Work("BIG\\BIG.BIN") + ",F:\\BIG.BIN"});
    EXPECT_TRUE(EndedWith(copy, "ﾌｧｲﾙの展開に失敗しました.\n" + Work("BIG\\BIG.BIN")));
    const Outcome xcopy = Run({"XCOPY," + Work("BIG") + ",F:\\X"});
    EXPECT_TRUE(EndedWith(xcopy, "ﾌｧｲﾙのｺﾋﾟｰに失敗しました."));
    RemoveTree("F:\\X");
    DeleteFileA("F:\\BIG.BIN");
    UnmapDrive('F');
}

} // namespace
