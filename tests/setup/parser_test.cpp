// INF scripts read through Wine's real profile functions into the engine's
// records: the line grammar, application INFs, the errors a load answers
// and the boxes they show, bad input and out-of-memory paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/core/inf_parser.h"
#include "setup/core/memory.h"
#include "setup/core/startup.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/error_box.h"
#include "tests/kit/bench.h"
#include "tests/kit/ui.h"

namespace {

const std::string TextOutOfMemory = "ﾒﾓﾘが不足しました.";
const std::string TextBadCommand = "ｲﾝｽﾄｰﾙするｺﾏﾝﾄﾞが不正です.\n";
const std::string TextNoTitle = "ｲﾝｽﾄｰﾙするｱﾌﾟﾘｹｰｼｮﾝ名が見つかりません.";
const std::string TextInfUnreadable = "INFファイルの取得に失敗しました.\n";
const std::string DefaultCaption = "ｾｯﾄｱｯﾌﾟ";

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

const std::string Header = Lines({"[Version]", "signature=$QVSETUP$", "[Strings]", "TITLE=App"});

std::vector<CommandRecord*> Commands(AppRecord* app)
{
    std::vector<CommandRecord*> result;
    for (CommandRecord* cmd = First(app->commands); cmd; cmd = Next(app->commands))
        result.push_back(cmd);
    return result;
}

class Parser : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = MakeTempFolder("inf");
        LocateMasterInf(folder_.c_str(), &media_);
        LoadSettings(&machine_, &media_);
        machine_.isAdmin = true;
        // The boxes of a failed load take the caption of the engine's windows.
        NameEngineWindows(GetModuleHandleA(nullptr), media_.config.setupName);
    }

    void TearDown() override
    {
        InjectAllocFailure(-1);
        FreeAppList(media_);
        RemoveTree(folder_);
    }

    std::string WriteInf(const std::string& name, const std::string& text)
    {
        const std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(WriteBytes(path, text));
        return path;
    }

    // Loads one INF whose load must succeed; answers its record.
    AppRecord* LoadClean(const std::string& text)
    {
        const std::string path = WriteInf("QVAPP.INF", text);
        LoadError error = {};
        EXPECT_TRUE(LoadAppInf(machine_, media_, path.c_str(), &error)) << static_cast<int>(error.problem);
        return media_.apps.tail;
    }

    // Success when the error's box, over an owner window, shows `text` with
    // the default caption.
    testing::AssertionResult ShowsBox(const LoadError& error, const std::string& text)
    {
        OwnerWindow owner;
        MessageBoxCatcher catcher;
        ShowLoadError(owner.get(), error);
        if (!catcher.Finish())
            return testing::AssertionFailure() << "no box";
        if (catcher.box.text != text || catcher.box.caption != DefaultCaption)
            return testing::AssertionFailure() << "box " << catcher.box.caption << ": "
                                               << catcher.box.text;
        return testing::AssertionSuccess();
    }

    // Loads one INF whose load must fail with `problem`, whose box shows
    // `message` (with the INF's path where the message names one).
    testing::AssertionResult LoadFails(const std::string& text, LoadProblem problem,
                                       const std::string& message)
    {
        const std::string path = WriteInf("QVBAD.INF", text);
        LoadError error = {};
        if (LoadAppInf(machine_, media_, path.c_str(), &error))
            return testing::AssertionFailure() << "the load succeeded";
        if (error.problem != problem)
            return testing::AssertionFailure() << "problem " << static_cast<int>(error.problem);
        const bool withPath = message == TextBadCommand || message == TextInfUnreadable;
        return ShowsBox(error, withPath ? message + path : message);
    }

    std::string folder_;
    Machine machine_ = {};
    Media media_ = {};
};

struct LineCase {
    std::string line;
    uint32_t flags;
    std::string param1;
    std::string param2;
    std::string checkKey;
};

TEST_F(Parser, LinesParseThroughTheProfileReader)
{
    const std::string cd(1, machine_.cdromLetter);
    const std::string windir = machine_.windowsDir;
    const std::vector<LineCase> cases = {
        {"copy,\"C:\\Program Files\\A\\x.dat\",%WINDIR%\\x.dat", CmdCopy,
         "C:\\Program Files\\A\\x.dat", windir + "\\x.dat", ""},
        {"COPY,C:\\Program Files\\A\\x.dat,D:\\x.dat", CmdCopy, "C:\\ProgramFiles\\A\\x.dat",
         "D:\\x.dat", ""},
        {"PROG,%PROGRAMFILES%\\A\\B.EXE", CmdProg,
         std::string(1, machine_.windowsLetter) + ":\\Program Files\\A\\B.EXE", "", ""},
        {"MSGBOX,\"Insert the disc, then press OK\"", CmdMsgbox, "Insert the disc, then press OK",
         "", ""},
        {"MSGBOX,Say \\\"hi\\\"", CmdMsgbox, "Say\"hi\"", "", ""},
        {"MSGBOX,\"Put the disc in %CDROM%:\"", CmdMsgbox, "Put the disc in " + cd + ":", "", ""},
        {"MSGBOX,%ABC%", CmdMsgbox, "ABC", "", ""},
        {"PROG,%WINDIR", CmdProg, "", "", ""},
        {"MSGBOX,100%%", CmdMsgbox, "100%", "", ""},
        {"%%SLEEP,500", CmdSleep, "500", "", ""},
        {"PROG,A,,", CmdProg, "A", "", ""},
        {"prog,x", CmdProg, "x", "", ""},
        {"PROG,%CDROM%:\\SETUP.EXE,,DISC1", CmdProg | CheckCdromFlag, cd + ":\\SETUP.EXE", "",
         "DISC1"},
        {"PROG,%FD%:\\A.EXE %CDROM%:,,K", CmdProg | CheckCdromFlag | CheckFdFlag,
         std::string(1, machine_.fdLetter) + ":\\A.EXE" + cd + ":", "", "K"},
        // "表" is 95 5C: followed by a double quote its trail byte escapes it.
        {"MSGBOX,\"表\",x\"", CmdMsgbox, "\x95\",x", "", ""},
        {"COPY,ソフト\\表示.TXT,%WINDIR%\\表", CmdCopy, "ソフト\\表示.TXT", windir + "\\表", ""},
        {"ATTENTION,\"a b\",3000", CmdAttention, "a b", "3000", ""},
    };
    std::string text = Header + Lines({"[CheckCdrom]", "DISC1=\\SETUP\\A.EXE", "K=\\K.EXE",
                                        "[Install]"});
    for (const LineCase& c : cases)
        text += c.line + "\r\n";
    AppRecord* app = LoadClean(text);
    ASSERT_NE(app, nullptr);
    const std::vector<CommandRecord*> commands = Commands(app);
    ASSERT_EQ(commands.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].line);
        EXPECT_EQ(commands[i]->flags, cases[i].flags);
        EXPECT_EQ(std::string(commands[i]->param1), cases[i].param1);
        EXPECT_EQ(std::string(commands[i]->param2), cases[i].param2);
        EXPECT_EQ(std::string(commands[i]->checkKey), cases[i].checkKey);
        EXPECT_EQ(commands[i]->infPath, app->infPath);
    }
}

TEST_F(Parser, MacrosExpandToThePrefixFolders)
{
    char windowsDir[MAX_PATH], systemDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    GetSystemDirectoryA(systemDir, sizeof systemDir);
    AppRecord* app = LoadClean(Header + Lines({"[Install]", "COPY,%windir%\\a,%WinSysDir%\\b",
                                                "PROG,%WINDISK%:%BOOTDISK%:"}));
    ASSERT_NE(app, nullptr);
    const std::vector<CommandRecord*> commands = Commands(app);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(std::string(commands[0]->param1), std::string(windowsDir) + "\\a");
    EXPECT_EQ(std::string(commands[0]->param2), std::string(systemDir) + "\\b");
    EXPECT_EQ(commands[1]->param1[0], windowsDir[0]);
    EXPECT_EQ(commands[1]->param1[2], machine_.bootLetter);
    EXPECT_EQ(commands[1]->flags, static_cast<uint32_t>(CmdProg));
}

TEST_F(Parser, DriveChecksShareOneEntryPerKeyWhateverTheCase)
{
    AppRecord*     app = LoadClean(Header + Lines({"[CheckCdrom]",
                                     "DISC1=\\SETUP\\A.EXE,\"ﾃﾞｨｽｸ1を入れてください\",2",
                                     "[Install]", "PROG,%CDROM%:\\A.EXE,,DISC1",
                                     "COPY,%CDROM%:\\B,%WINDIR%\\B,disc1", "MSGBOX,%CDROM%"}));
    ASSERT_NE(app, nullptr);
    const std::vector<CommandRecord*> commands = Commands(app);
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(Count(app->cdChecks), 1);
    ASSERT_NE(commands[0]->checkEntry, nullptr);
    EXPECT_EQ(commands[0]->checkEntry, commands[1]->checkEntry);
    EXPECT_EQ(std::string(commands[0]->checkEntry->value),
              "\\SETUP\\A.EXE,\"ﾃﾞｨｽｸ1を入れてください\",2");
    EXPECT_EQ(std::string(commands[0]->checkEntry->key), "DISC1");
    EXPECT_EQ(commands[2]->flags, static_cast<uint32_t>(CmdMsgbox));
    EXPECT_EQ(commands[2]->checkEntry, nullptr);
}

TEST_F(Parser, ProfileReaderIsCaseInsensitiveAndCutsValues)
{
    AppRecord* app = LoadClean(Lines({"[VERSION]", "Signature = $qvsetup$", "[strings]",
                                      "title=" + std::string(100, 'T'),
                                      "Description=" + std::string(300, 'D'), "[install]",
                                      "Sleep,1"}));
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(std::string(app->title), std::string(63, 'T'));
    EXPECT_EQ(std::string(app->description), std::string(255, 'D'));
    EXPECT_EQ(Count(app->commands), 1);
}

TEST_F(Parser, TitleAndDescriptionKeepCp932Bytes)
{
    AppRecord* app = LoadClean(Lines({"[Version]", "signature=$QVSETUP$", "[Strings]",
                                      "TITLE=表示ﾂｰﾙ", "DESCRIPTION=ソフト\\nを入れます"}));
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(std::string(app->title), "表示ﾂｰﾙ");
    EXPECT_EQ(std::string(app->description), "ソフト\nを入れます");
}

TEST_F(Parser, DescriptionDefaultAndEscapes)
{
    const struct {
        const char* stringsLine;
        const char* description;
    } cases[] = {
        {"", "ABCをｲﾝｽﾄｰﾙします。"},
        {"DESCRIPTION=Line1\\nLine2", "Line1\nLine2"},
        {"DESCRIPTION=C:\\new", "C:\new"},
        {"DESCRIPTION=C:\\\\new", "C:\\new"},
        {"DESCRIPTION=a\\tb\\N", "a\tb\\N"},
    };
    for (const auto& c : cases) {
        AppRecord* app = LoadClean(Lines({"[Version]", "signature=$QVSETUP$", "[Strings]",
                                          "TITLE=ABC", c.stringsLine}));
        ASSERT_NE(app, nullptr);
        EXPECT_EQ(std::string(app->description), c.description) << c.stringsLine;
    }
}

TEST_F(Parser, FilesAreSkippedSilently)
{
    const struct {
        std::string text;
        int32_t isAdmin;
    } cases[] = {
        {Lines({"[Version]", "signature=$SETUP$", "[Strings]", "TITLE=A"}), 1},
        {Lines({"[Strings]", "TITLE=A"}), 1},
        {Lines({"[Version]", "signature=$QVSETUP$", "admini=yes", "[Strings]", "TITLE=A"}), 0},
        {"", 1},
    };
    for (const auto& c : cases) {
        machine_.isAdmin = c.isAdmin != 0;
        LoadClean(c.text);
        EXPECT_EQ(Count(media_.apps), 0) << c.text;
    }
    machine_.isAdmin = true;
    EXPECT_NE(LoadClean(Lines({"[Version]", "signature=$QVSETUP$", "admini=YES", "[Strings]",
                               "TITLE=A"})),
              nullptr);
}

TEST_F(Parser, DefaultYesSelectsOnlyInMultiStyle)
{
    const std::string text = Lines({"[Version]", "signature=$QVSETUP$", "Default=yes", "[Strings]",
                                    "TITLE=A"});
    const struct {
        ListStyle style;
        int32_t selected;
    } cases[] = {{StyleMulti, 1}, {StyleSingle, 0}, {StyleSingleList, 0}};
    for (const auto& c : cases) {
        media_.config.listStyle = c.style;
        AppRecord* app = LoadClean(text);
        ASSERT_NE(app, nullptr);
        EXPECT_EQ(app->selected, c.selected) << c.style;
    }
}

TEST_F(Parser, CommentsAndMissingSectionsGiveNoRecords)
{
    AppRecord* app = LoadClean(Header + Lines({"[Install]", ";PROG,X", "PROG,Y", "  ;PROG,Z"}));
    ASSERT_NE(app, nullptr);
    ASSERT_EQ(Count(app->commands), 1);
    EXPECT_EQ(std::string(First(app->commands)->param1), "Y");

    app = LoadClean(Header);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(Count(app->commands), 0);
    EXPECT_EQ(Count(media_.apps), 2);
}

TEST_F(Parser, MissingTitleShowsItsMessage)
{
    EXPECT_TRUE(LoadFails(Lines({"[Version]", "signature=$QVSETUP$", "[Strings]", "DESCRIPTION=x"}),
                          LoadProblem::NoTitle, TextNoTitle));
    EXPECT_EQ(Count(media_.apps), 0);
}

TEST_F(Parser, InvalidLinesShowThePathAndKeepEarlierRecords)
{
    const std::string checks = Lines({"[CheckCdrom]", "DISC1=\\A.EXE", "EMPTY="});
    const std::vector<std::string> badLines = {
        "RUN,X",
        "PROG,A,B,C,",
        "PROG,A,,,",
        "PROG,%CDROM%:\\SETUP.EXE",
        "PROG,%CDROM%:\\SETUP.EXE,,NOKEY",
        "PROG,%FD%:\\SETUP.EXE,,EMPTY",
        "COPY,%CDROM%:\\B,%WINDIR%\\B,,disc1",
        "PROG," + std::string(260, 'a'),
        "PROG,%WINDIR%" + std::string(260 - strlen(machine_.windowsDir), 'a'),
        "ATTENTION12,x",
        "PROG,,," + std::string(32, 'k'),
        "PROG," + std::string(10000, 'x'),
        "MSGBOX,%" + std::string(300, 'M') + "%",
    };
    for (const std::string& bad : badLines) {
        SCOPED_TRACE(bad.substr(0, 60));
        EXPECT_TRUE(LoadFails(Header + checks + Lines({"[Install]", "PROG,first", bad, "PROG,last"}),
                              LoadProblem::BadCommand, TextBadCommand));
        ASSERT_NE(media_.apps.tail, nullptr);
        EXPECT_EQ(Count(media_.apps.tail->commands), 1);
        FreeAppList(media_);
    }
}

TEST_F(Parser, BoundsAreExactAfterExpansion)
{
    AppRecord* app = LoadClean(
        Header + Lines({"[Install]", "PROG," + std::string(259, 'a'),
                         "PROG,%WINDIR%" + std::string(259 - strlen(machine_.windowsDir), 'a'),
                         "ATTENTION,x", "PROG,,," + std::string(31, 'k') + ""}));
    ASSERT_NE(app, nullptr);
    const std::vector<CommandRecord*> commands = Commands(app);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(strlen(commands[0]->param1), 259u);
    EXPECT_EQ(strlen(commands[1]->param1), 259u);
    EXPECT_EQ(strlen(commands[3]->checkKey), 31u);
}

TEST_F(Parser, LargeAndDamagedFilesNeverCrash)
{
    // About 1 MiB of valid lines.
    std::string big = Header + "[Install]\r\n";
    int lines = 0;
    while (big.size() < (1u << 20)) {
        big += "DELETE,C:\\TEMP\\FOLDER\\FILE" + std::to_string(lines++) + ".TXT\r\n";
    }
    AppRecord* app = LoadClean(big);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(Count(app->commands), lines);
    FreeAppList(media_);

    // Binary garbage after a valid header: loaded, or refused with the
    // invalid-command box; never a crash or an overrun.
    uint32_t seed = 12345;
    for (int round = 0; round < 8; ++round) {
        std::string garbage = Header + "[Install]\r\n";
        for (int i = 0; i < 4096; ++i) {
            seed = seed * 1103515245u + 12345u;
            garbage += static_cast<char>(seed >> 24);
        }
        const std::string path = WriteInf("QVJUNK.INF", garbage);
        LoadError error = {};
        if (!LoadAppInf(machine_, media_, path.c_str(), &error)) {
            EXPECT_EQ(error.problem, LoadProblem::BadCommand);
            EXPECT_TRUE(ShowsBox(error, TextBadCommand + path));
        }
        FreeAppList(media_);
    }
    // Garbage alone is no application INF.
    LoadClean(std::string("\x00\xff\x81\x5c[\r\n\x00", 8));
    EXPECT_EQ(Count(media_.apps), 0);
}

TEST_F(Parser, EmptyFileGivesAnEmptySection)
{
    AppRecord pseudo = {};
    strcpy(pseudo.infPath, WriteInf("EMPTY.INF", "").c_str());
    LoadError error = {};
    EXPECT_TRUE(LoadCommandSection(machine_, &pseudo, "DefaultInstall", &error));
    EXPECT_EQ(Count(pseudo.commands), 0);
}

TEST_F(Parser, UnreadableInfShowsItsPath)
{
    AppRecord pseudo = {};
    const std::string missing = folder_ + "\\QVSETUP.INF";
    strcpy(pseudo.infPath, missing.c_str());
    EXPECT_EQ(InfFileSize(missing.c_str()), -1);
    LoadError error = {};
    EXPECT_FALSE(LoadCommandSection(machine_, &pseudo, "DefaultInstall", &error));
    EXPECT_EQ(error.problem, LoadProblem::InfUnreadable);
    EXPECT_TRUE(ShowsBox(error, TextInfUnreadable + missing));
}

TEST_F(Parser, InfFileSizeNeedsExclusiveAccess)
{
    const std::string path = WriteInf("SIZE.INF", std::string(1234, 'x'));
    EXPECT_EQ(InfFileSize(path.c_str()), 1234);
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(InfFileSize(path.c_str()), -1);
    CloseHandle(writer);
}

TEST_F(Parser, EveryAllocationFailureShowsItsMessage)
{
    // Allocations in order: the AppRecord, the section buffer, the file's
    // bytes, the first CommandRecord, its CheckCdromEntry, its line as
    // written: each shows the out-of-memory box.
    const std::string text = Header + Lines({"[CheckCdrom]", "DISC1=\\A.EXE", "[Install]",
                                              "PROG,%CDROM%:\\A.EXE,,DISC1"});
    const struct {
        int successes;
        LoadProblem problem;
        const std::string& message;
        int32_t appsLeft;
    } cases[] = {
        {0, LoadProblem::OutOfMemory, TextOutOfMemory, 0},
        {1, LoadProblem::OutOfMemory, TextOutOfMemory, 1},
        {2, LoadProblem::OutOfMemory, TextOutOfMemory, 1},
        {3, LoadProblem::OutOfMemory, TextOutOfMemory, 1},
        {4, LoadProblem::OutOfMemory, TextOutOfMemory, 1},
        {5, LoadProblem::OutOfMemory, TextOutOfMemory, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.successes);
        InjectAllocFailure(c.successes);
        EXPECT_TRUE(LoadFails(text, c.problem, c.message));
        EXPECT_EQ(Count(media_.apps), c.appsLeft);
        FreeAppList(media_);
    }
    InjectAllocFailure(6);
    EXPECT_NE(LoadClean(text), nullptr);
}

TEST_F(Parser, ErrorBoxTakesAGivenCaptionAndLeavesItsOwner)
{
    OwnerWindow owner;
    for (HWND window : {static_cast<HWND>(nullptr), owner.get()}) {
        MessageBoxCatcher catcher;
        ShowError(window, "テスト", "QVSETUP");
        ASSERT_TRUE(catcher.Finish());
        EXPECT_EQ(catcher.box.caption, "QVSETUP");
        EXPECT_EQ(catcher.box.text, "テスト");
    }
    EXPECT_TRUE(IsWindow(owner.get()));
}

TEST_F(Parser, FreeAppListEmptiesTheList)
{
    LoadClean(Header + Lines({"[CheckCdrom]", "K=\\A", "[Install]", "PROG,%FD%:\\A,,K"}));
    LoadClean(Header);
    EXPECT_EQ(Count(media_.apps), 2);
    FreeAppList(media_);
    EXPECT_EQ(Count(media_.apps), 0);
    EXPECT_EQ(media_.apps.head, nullptr);
    EXPECT_EQ(media_.apps.tail, nullptr);
}

} // namespace
