// qvsetup.exe from its start: single instance, where the master INF is
// found, settings and their case rules, the macros' values, bad input.
#include <gtest/gtest.h>

#include <string>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

void WriteApp(const MediaFolder& media, const std::string& name, const std::string& title,
              std::initializer_list<std::string> install)
{
    media.WriteApp(name, AppInf{title, install, {}, ""});
}

// Presses Cancel in the selection dialog and expects the run to end with 0.
void CancelAndExpectExit(SetupRun& run, HWND dialog)
{
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(RunExits(run));
}

// Installs the only application and answers the message box it shows.
MessageBoxText InstallAndReadBox(SetupRun& run)
{
    HWND dialog = run.WaitForSelectionDialog();
    EXPECT_NE(dialog, nullptr);
    PressButton(dialog, IDC_INSTALL);
    HWND box = run.WaitForMessageBox();
    EXPECT_NE(box, nullptr);
    const MessageBoxText text = box ? ReadMessageBox(box) : MessageBoxText{};
    if (box)
        PressButton(box, IDOK);
    EXPECT_TRUE(RunExits(run));
    return text;
}

TEST(Startup, SecondInstanceExitsAtOnceAndSilently)
{
    MediaFolder media;
    WriteApp(media, "QVA.INF", "A", {"SLEEP,1"});
    SetupRun first(media.folder());
    HWND dialog = first.WaitForSelectionDialog();
    ASSERT_NE(dialog, nullptr);

    SetupRun second(media.folder());
    ASSERT_TRUE(RunExits(second, 5000));
    EXPECT_TRUE(ProcessWindows(second.pid()).empty());
    EXPECT_TRUE(IsWindowVisible(dialog));
    CancelAndExpectExit(first, dialog);
}

TEST(Startup, MasterInfFromCommandLineOrOwnFolder)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "TITLE=ﾏｽﾀｰのﾀｲﾄﾙ", "SETUPNAME=名前"});
    WriteApp(media, "QVA.INF", "A", {"SLEEP,1"});
    ASSERT_TRUE(CopyFileA(BuildProgram("qvsetup.exe").c_str(), media.Path("QVSETUP.EXE").c_str(),
                          FALSE));
    for (const bool ownFolder : {false, true}) {
        SCOPED_TRACE(ownFolder);
        SetupRun run(ownFolder ? "" : media.folder(), ownFolder ? media.Path("QVSETUP.EXE") : "");
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowText(dialog), "ﾏｽﾀｰのﾀｲﾄﾙ");
        EXPECT_EQ(WindowText(run.BackgroundWindow()), "名前");
        CancelAndExpectExit(run, dialog);
    }
}

TEST(Startup, QuotedFolderKeepsItsQuotesAndMissesTheMasterInf)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "TITLE=T"});
    SetupRun run("\"" + media.folder() + "\"");
    HWND box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const MessageBoxText text = ReadMessageBox(box);
    EXPECT_EQ(text.text,
              "INFファイルの取得に失敗しました.\n\"" + media.folder() + "\"\\QVSETUP.INF");
    EXPECT_EQ(text.caption, "ｾｯﾄｱｯﾌﾟ");
    PressButton(box, IDOK);
    EXPECT_TRUE(RunExits(run));
}

TEST(Startup, SettingsDefaultsAndCaseRules)
{
    const struct {
        const char* config;
        bool backgroundVisible;
        const char* selectorClass;
        bool ownerDrawn;
    } cases[] = {
        {"", true, "ListBox", false},
        {"BACKGROUND=no", false, "ListBox", false},
        {"BACKGROUND=off", true, "ListBox", false},
        {"STYLE=multi", true, "ListBox", true},
        {"STYLE=Single", true, "ComboBox", false},
        {"STYLE=LIST", true, "ListBox", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", c.config});
        WriteApp(media, "QVA.INF", "A", {"SLEEP,1"});
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        HWND background = run.BackgroundWindow();
        ASSERT_NE(background, nullptr);
        // The background is shown just after the dialog appears.
        EXPECT_EQ(WaitUntil([&] { return IsWindowVisible(background) != FALSE; }, 2000),
                  c.backgroundVisible);
        EXPECT_EQ(WindowText(background), "ｾｯﾄｱｯﾌﾟ");
        EXPECT_EQ(WindowText(dialog), "選択");
        HWND selector = SelectorOf(dialog);
        ASSERT_NE(selector, nullptr);
        char className[16] = {};
        GetClassNameA(selector, className, sizeof className);
        EXPECT_STREQ(className, c.selectorClass);
        const bool ownerDrawn = (GetWindowLongA(selector, GWL_STYLE) & LBS_OWNERDRAWFIXED) != 0;
        EXPECT_EQ(ownerDrawn, c.ownerDrawn);
        CancelAndExpectExit(run, dialog);
    }
}

TEST(Startup, MacrosTakeThePrefixFoldersAndDrives)
{
    char windowsDir[MAX_PATH], systemDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    GetSystemDirectoryA(systemDir, sizeof systemDir);
    MediaFolder media;
    WriteApp(media, "QVA.INF", "A",
             {"MSGBOX,\"%PROGRAMFILES%|%WINDIR%|%WINSYSDIR%|%WINDISK%|%FD%\""});
    SetupRun run(media.folder());
    const MessageBoxText box = InstallAndReadBox(run);
    // No removable drive in the prefix and the program on a fixed disk: A.
    EXPECT_EQ(box.text, std::string(1, windowsDir[0]) + ":\\Program Files|" + windowsDir + "|" +
                            systemDir + "|" + windowsDir[0] + "|A");
    EXPECT_EQ(box.caption, "ｾｯﾄｱｯﾌﾟ");
}

TEST(Startup, SourceDriveIsTheProgramsRemovableOrNetworkDrive)
{
    MediaFolder media;
    WriteApp(media, "QVA.INF", "A", {"MSGBOX,%FD%"});
    ASSERT_TRUE(CopyFileA(BuildProgram("qvsetup.exe").c_str(), media.Path("QVSETUP.EXE").c_str(),
                          FALSE));
    for (const UINT type : {DRIVE_REMOVABLE, DRIVE_REMOTE}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(MapDrive('S', media.folder(), type));
        SetupRun run("", "S:\\QVSETUP.EXE");
        EXPECT_EQ(InstallAndReadBox(run).text, "S");
    }
    // A fixed-disk program takes the first removable drive.
    ASSERT_TRUE(MapDrive('S', media.folder(), DRIVE_REMOVABLE));
    SetupRun run(media.folder());
    EXPECT_EQ(InstallAndReadBox(run).text, "S");
    UnmapDrive('S');
}

TEST(Startup, BadInputEndsCleanly)
{
    // A folder longer than 259 bytes: no master INF path; the master INF is
    // reported unreadable and the run ends.
    SetupRun tooLong(std::string(300, 'x'));
    HWND box = tooLong.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, "INFファイルの取得に失敗しました.\n");
    PressButton(box, IDOK);
    EXPECT_TRUE(RunExits(tooLong));

    // A missing master INF.
    MediaFolder empty;
    SetupRun missing(empty.folder());
    box = missing.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text,
              "INFファイルの取得に失敗しました.\n" + empty.Path("QVSETUP.INF"));
    PressButton(box, IDOK);
    EXPECT_TRUE(RunExits(missing));

    // An empty master INF means every default.
    MediaFolder media;
    WriteBytes(media.Path("QVSETUP.INF"), "");
    WriteApp(media, "QVA.INF", "A", {"SLEEP,1"});
    SetupRun defaults(media.folder());
    HWND dialog = defaults.WaitForSelectionDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageA(SelectorOf(dialog), LB_GETCOUNT, 0, 0), 1);
    CancelAndExpectExit(defaults, dialog);
}

TEST(Startup, HundredsOfApplicationsAreListed)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=MULTI"});
    for (int i = 0; i < 300; ++i)
        WriteApp(media, "QV" + std::to_string(i) + ".INF", "App" + std::to_string(i), {"SLEEP,1"});
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog(60000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageA(SelectorOf(dialog), LB_GETCOUNT, 0, 0), 300);
    CancelAndExpectExit(run, dialog);
}

} // namespace
