// Unattended runs of the real qvsetup.exe: QVSETUP_ANSWERS names an answer
// file, and no step of a test answers a window of the run (RunUnattended
// fails the test if one waits for a person).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/smbios_data.h"

namespace {

constexpr char Drive = 'R';
const std::string Installed = "C:\\Program Files\\QVSAMPLE";
// What a run before this one left: a success that must not survive.
const std::string StaleResult = "[Result]\r\nExitCode=0\r\nReason=done\r\n";

std::vector<std::string> CommandLines(const std::string& log)
{
    std::vector<std::string> commands;
    for (const std::string& line : SetupLogLines(log)) {
        if (line.rfind("command ", 0) == 0)
            commands.push_back(line);
    }
    return commands;
}

// FailedAt of a command: the INF, its line in the file, the line as written.
std::string FailedAt(const std::string& inf, const std::string& line,
                     const std::string& section = "Install")
{
    return inf + ": line " + std::to_string(FileLineOf(inf, line)) + ", [" + section + "]: " + line;
}

} // namespace

// The sample discs with every application chosen: disc 2 is put in a few
// seconds after its prompt starts waiting, and the run installs what an
// interactive run installs; never put in, the prompt gives up after DiscWait.
TEST(Unattended, SampleDiscsWithTheSecondDiscLateOrNever)
{
    SampleMedia sample;
    RemoveTree(Installed);
    DWORD exitCode = 1;
    ASSERT_TRUE(sample.Run(&exitCode));
    const std::vector<std::string> interactive = FileTree(Installed);
    ASSERT_FALSE(interactive.empty());
    RemoveTree(Installed);

    const std::string empty = MakeTempFolder("nodisc");
    ASSERT_TRUE(MapDrive(Drive, empty, DRIVE_CDROM));
    {
        AnswerFile answers({"Select=ALL"});
        DWORD promptTick = 0;
        bool inserted = false;
        const UnattendedEnd end = RunUnattended(sample.folder(), answers.File(), 60000, [&] {
            if (!promptTick && answers.Logged("drive check DISC2: looking for"))
                promptTick = GetTickCount();
            if (promptTick && !inserted && GetTickCount() - promptTick > 3000)
                inserted = MapDrive(Drive, sample.Disc2(), DRIVE_CDROM);
        }, sample.folder() + "\\QVSETUP.EXE");
        ASSERT_TRUE(end.ended);
        EXPECT_EQ(end.exitCode, 0u);
        EXPECT_NE(promptTick, 0u);
        EXPECT_EQ(FileTree(Installed), interactive);
        EXPECT_EQ(answers.Result("Result", "ExitCode"), "0");
        EXPECT_EQ(answers.Result("Result", "Reason"), "done");
        for (const char* inf : {"QVTOOLS.INF", "QVGUIDE.INF", "QVDATA.INF", "QVEXTRA.INF", "QVZNOTICE.INF"}) {
            EXPECT_EQ(answers.Result(inf, "Status"), "done") << inf;
            EXPECT_TRUE(answers.Logged(std::string(inf) + ")")) << inf;
        }
        EXPECT_TRUE(answers.Logged("box answered: OK (unattended, not shown)"));
        EXPECT_TRUE(answers.Logged("qvsetup ends with exit code 0"));
    }
    RemoveTree(Installed);
    ASSERT_TRUE(MapDrive(Drive, empty, DRIVE_CDROM));
    {
        AnswerFile answers({"DiscWait=3"});
        const UnattendedEnd end = RunUnattended(sample.folder(), answers.File(), 30000, {},
                                                sample.folder() + "\\QVSETUP.EXE");
        ASSERT_TRUE(end.ended);
        EXPECT_EQ(end.exitCode, 4u);
        EXPECT_EQ(answers.Result("Result", "ExitCode"), "4");
        EXPECT_EQ(answers.Result("Result", "Message"), "ｻﾝﾌﾟﾙ ﾃﾞｨｽｸ 2 を入れて [再試行] を押してください.");
        EXPECT_EQ(answers.Result("Result", "FailedAt"),
                  FailedAt(sample.folder() + "\\QVDATA.INF",
                           "COPY,%CDROM%:\\README.TXT,%PROGRAMFILES%\\QVSAMPLE\\README.TXT,DISC2"));
        EXPECT_EQ(answers.Result("QVDATA.INF", "Status"), "failed");
        EXPECT_EQ(answers.Result("QVZNOTICE.INF", "Status"), "not reached");
        EXPECT_EQ(answers.Result("QVEXTRA.INF", "Status"), "not chosen");
        const long waited = answers.LoggedAt("drive check DISC2: no disc within 3 s") -
                            answers.LoggedAt("drive check DISC2: looking for");
        EXPECT_GE(waited, 2900);
        EXPECT_LT(waited, 5000);
    }
    // No CD-ROM drive at all: CdromDrive=AUTO looks for one that holds the
    // disc, and ends with the prompt that would have asked for it.
    UnmapDrive(Drive);
    {
        AnswerFile answers({"DiscWait=2"});
        const UnattendedEnd end = RunUnattended(sample.folder(), answers.File(), 30000, {},
                                                sample.folder() + "\\QVSETUP.EXE");
        EXPECT_EQ(end.exitCode, 4u);
        EXPECT_EQ(answers.Result("Result", "Message"), "ｻﾝﾌﾟﾙ ﾃﾞｨｽｸ 2 を入れて [再試行] を押してください.");
    }
    RemoveTree(empty);
    RemoveTree(Installed);
}

// Each way a run ends has its own exit code, written over whatever result
// an earlier run left, and the result says why, where and for which
// application.
TEST(Unattended, EveryEndHasItsCodeAndAFreshResult)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "[DefaultInstall]", "PROG," + media.Stamp("default")});
    const std::string inf = media.Path("QVA.INF");
    const std::string copy = "COPY," + media.Path("NOSUCH.TXT") + "," + media.Path("OUT.TXT");
    const std::string escapes = "COPY,C:\\new\\x.txt,C:\\new\\y.txt";
    const std::string silent = "DELETE,C:\\NO-SUCH\\SUB\\OLD.INI";
    const std::string exist = "EXIST,C:\\NO-SUCH.TXT";
    // Each case's one further sign: a value of [Result], or with "log" a
    // line of the log; and the line that FailedAt names, if any.
    const struct {
        const char* name;
        std::vector<std::string> install;
        std::vector<std::string> answers;
        DWORD exitCode;
        std::vector<std::string> stamps;
        const char* status;
        std::string key;
        std::string value;
        std::string failedLine;
    } cases[] = {
        {"a box and a notice without a time", {"MSGBOX,hello", "ATTENTION,bye", "PROG," + media.Stamp("after")},
         {}, 0, {"default"}, "done", "log", "notice without a time, taken as closed (unattended): bye", ""},
        {"a failing copy", {"SLEEP,1", copy}, {}, 3, {"default"}, "failed", "Reason", "a command failed", copy},
        {"backslashes and a line break in the result", {escapes}, {}, 3, {"default"}, "failed",
         "Message", "ﾌｧｲﾙの展開に失敗しました.\nC:\\new\\x.txt", escapes},
        {"a command that ends the run without a message", {silent, "PROG," + media.Stamp("after")}, {}, 3,
         {"default"}, "failed", "Reason", "a command ended the run without a message", silent},
        {"an application without commands", {}, {}, 3, {"default"}, "failed",
         "Message", inf + " has no command: the run ended without a message", ""},
        {"SHUTDOWN under Restart=NO", {"SHUTDOWN,\"restart?\",1", "PROG," + media.Stamp("after")},
         {}, 10, {"default"}, "done", "log", "Windows is not to restart (unattended, Restart=NO)", ""},
        {"a PROG past ProgTimeout", {"PROG," + media.Stamp("slow", 5000)}, {"ProgTimeout=1"}, 5,
         {"default", "slow"}, "failed", "log", "PROG's program still runs after 1 s (ProgTimeout)", ""},
        {"an EXIST past ExistTimeout", {exist}, {"ExistTimeout=2"}, 5, {"default"}, "failed",
         "Reason", "EXIST waited past ExistTimeout", exist},
        {"a name the media do not offer", {"PROG," + media.Stamp("after")}, {"Select=QVX.INF"}, 6, {},
         "(none)", "Reason", "the answer file is missing, unreadable or wrong", ""},
        {"an unknown key before Result", {"PROG," + media.Stamp("after")}, {"Reboot=NO"}, 6, {},
         "(none)", "log", "unknown key: Reboot: nothing runs", ""},
        {"a bad command line", {"BOGUS,1"}, {}, 2, {}, "(none)",
         "Message", "ｲﾝｽﾄｰﾙするｺﾏﾝﾄﾞが不正です.\n" + inf, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(media.StampFile().c_str());
        media.WriteApp("QVA.INF", AppInf{"A", c.install, {}, ""});
        AnswerFile answers(c.answers);
        WriteBytes(answers.ResultFile(), StaleResult);
        const UnattendedEnd end = RunUnattended(media.folder(), answers.File(), 20000);
        ASSERT_TRUE(end.ended);
        EXPECT_EQ(end.exitCode, c.exitCode);
        EXPECT_EQ(answers.Result("Result", "ExitCode"), std::to_string(c.exitCode));
        EXPECT_EQ(StampLabels(ReadStamps(media.StampFile()), "start"), c.stamps);
        EXPECT_EQ(answers.Result("QVA.INF", "Status"), c.status);
        if (c.key == "log")
            EXPECT_TRUE(answers.Logged(c.value)) << c.value;
        else
            EXPECT_EQ(answers.Result("Result", c.key.c_str()), c.value);
        if (!c.failedLine.empty()) {
            EXPECT_EQ(answers.Result("Result", "FailedAt"), FailedAt(inf, c.failedLine));
        }
    }
    // A failing command of [DefaultInstall] is named by the master INF; a
    // run's result says "running" until it ends, and a run closed from
    // outside ends with a code of its own.
    const std::string master = media.Path("QVSETUP.INF");
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "[DefaultInstall]", copy});
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {}, ""});
    {
        AnswerFile answers;
        EXPECT_EQ(RunUnattended(media.folder(), answers.File(), 20000).exitCode, 3u);
        EXPECT_EQ(answers.Result("Result", "FailedAt"), FailedAt(master, copy, "DefaultInstall"));
    }
    // A wait, and a FASTCOPY tree copy (the system folder), closed in the middle.
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "FASTCOPY=YES"});
    const std::string copied = MakeTempFolder("closed");
    for (const std::string& command : {std::string("SLEEP,20000"), "XCOPYA,%WINSYSDIR%," + copied + "\\SYS"}) {
        SCOPED_TRACE(command);
        media.WriteApp("QVA.INF", AppInf{"A", {command}, {}, ""});
        AnswerFile answers;
        bool closed = false;
        std::string whileRunning;
        const std::string logged = "command " + command.substr(0, command.find(','));
        const UnattendedEnd end = RunUnattended(media.folder(), answers.File(), 20000, [&] {
            HWND background = FindWindowA("QVSETUP_BACKGROUND", nullptr);
            if (closed || !background || !answers.Logged(logged))
                return;
            whileRunning = answers.Result("Result", "ExitCode") + "/" + answers.Result("Result", "Reason");
            closed = PostMessageA(background, WM_CLOSE, 0, 0) != FALSE;
        });
        EXPECT_EQ(whileRunning, "/running");
        EXPECT_EQ(end.exitCode, 8u);
        EXPECT_EQ(answers.Result("Result", "Reason"), "stopped from outside");
        EXPECT_EQ(answers.Result("QVA.INF", "Status"), "failed");
    }
    RemoveTree(copied);
    // Answer files that are no answer files, and a missing one.
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("after")}, {}, ""});
    // A result under folders that are missing: they are made. One that can't
    // be written (below a file): the run ends at once, and the log says why.
    const std::string place = MakeTempFolder("result");
    WriteBytes(place + "\\FILE", "");
    for (const bool writable : {true, false}) {
        const std::string result = place + (writable ? "\\NEW\\DEEP\\RESULT.INI" : "\\FILE\\RESULT.INI");
        SCOPED_TRACE(result);
        DeleteFileA(media.StampFile().c_str());
        AnswerFile answers({"Result=" + result});
        EXPECT_EQ(RunUnattended(media.folder(), answers.File(), 20000).exitCode, writable ? 0u : 6u);
        EXPECT_EQ(StampLabels(ReadStamps(media.StampFile()), "start").size(), writable ? 1u : 0u);
        if (writable)
            EXPECT_NE(ReadBytes(result).find("ExitCode=0\r\n"), std::string::npos);
        else
            EXPECT_TRUE(answers.Logged("the result file " + result + " can't be written (error "));
    }
    RemoveTree(place);
    for (const char* head : {"[Unatended]", "", "\xEF\xBB\xBF[Unattended]"}) {
        AnswerFile answers({}, head);
        EXPECT_EQ(RunUnattended(media.folder(), answers.File(), 20000).exitCode, 6u) << head;
    }
    EXPECT_EQ(RunUnattended(media.folder(), media.Path("NOSUCH.INI"), 20000).exitCode, 6u);
    // A second run while one goes on.
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,20000"}, {}, ""});
    AnswerFile answers;
    SetupRun first(media.folder());
    ASSERT_NE(first.StartInstall(), nullptr);
    WriteBytes(answers.ResultFile(), StaleResult);
    const UnattendedEnd second = RunUnattended(media.folder(), answers.File(), 20000);
    EXPECT_EQ(second.exitCode, 7u);
    EXPECT_EQ(answers.Result("Result", "ExitCode"), "7");
    // "running" of a process that is gone is stale too.
    const RunResult gone = RunProgram("cmd.exe /c exit", 20000);
    WriteBytes(answers.ResultFile(), "[Result]\r\nExitCode=\r\nReason=running\r\nProcess=" +
                                         std::to_string(gone.processId) + "\r\n");
    EXPECT_EQ(RunUnattended(media.folder(), answers.File(), 20000).exitCode, 7u);
    EXPECT_EQ(answers.Result("Result", "ExitCode"), "7");
}

// Two discs swapped in one drive: the clock of a PROG on disc 2 starts when
// its program does, not while its disc is waited for; and a command that
// fails on disc 2 is named as its INF on disc 1 had it, although disc 2
// holds another INF of that name.
TEST(Unattended, DiscSwappedInOneDrive)
{
    MediaFolder disc1;
    const std::string disc2 = MakeTempFolder("disc2");
    WriteBytes(disc2 + "\\DISC2.ID", "2");
    CreateDirectoryA((disc2 + "\\SETUP").c_str(), nullptr);
    WriteBytes(disc2 + "\\SETUP\\QVB.INF", "[Install]\r\nMSGBOX,another disc's INF\r\n");
    CreateDirectoryA(disc1.Path("SETUP").c_str(), nullptr);
    const std::string check = "DISC2=\\DISC2.ID,\"disc 2\",2";
    const std::string prog = "PROG," + disc1.Stamp("on-%CDROM%", 1000) + ",,DISC2";
    const std::string copy = "COPY,%CDROM%:\\NOSUCH.TXT," + disc1.Path("OUT.TXT") + ",DISC2";
    disc1.Write("SETUP\\QVSETUP.INF", {"[QvSetupConfig]", "[Priority]", "QVA.INF", "QVB.INF"});
    disc1.Write("SETUP\\QVA.INF", {"[Version]", "signature=$QVSETUP$", "[Strings]", "TITLE=A",
                            "[CheckCdrom]", check, "[Install]", prog});
    disc1.Write("SETUP\\QVB.INF", {"[Version]", "signature=$QVSETUP$", "[Strings]", "TITLE=B",
                            "[CheckCdrom]", check, "[Install]", "; disc 2 holds no such file", copy});
    const std::string folder = std::string(1, Drive) + ":\\SETUP";
    for (const char* select : {"QVA.INF", "ALL"}) {
        SCOPED_TRACE(select);
        ASSERT_TRUE(MapDrive(Drive, disc1.folder(), DRIVE_CDROM));
        AnswerFile answers({std::string("Select=") + select, "ProgTimeout=4", "DiscWait=20"});
        DWORD promptTick = 0;
        bool swapped = false;
        const UnattendedEnd end = RunUnattended(folder, answers.File(), 60000, [&] {
            if (!promptTick && answers.Logged("drive check DISC2: looking for"))
                promptTick = GetTickCount();
            if (promptTick && !swapped && GetTickCount() - promptTick > 6000)
                swapped = MapDrive(Drive, disc2, DRIVE_CDROM);
        });
        ASSERT_TRUE(end.ended);
        EXPECT_TRUE(swapped);
        EXPECT_EQ(StampLabels(ReadStamps(disc1.StampFile()), "end"), std::vector<std::string>{"on-R"});
        DeleteFileA(disc1.StampFile().c_str());
        if (std::string(select) == "QVA.INF") {
            EXPECT_EQ(end.exitCode, 0u);
            continue;
        }
        EXPECT_EQ(end.exitCode, 3u);
        EXPECT_EQ(answers.Result("Result", "FailedAt"),
                  folder + "\\QVB.INF: line " +
                      std::to_string(FileLineOf(disc1.Path("SETUP\\QVB.INF"), copy)) +
                      ", [Install]: " + copy);
        EXPECT_EQ(answers.Result("QVA.INF", "Status"), "done");
        EXPECT_EQ(answers.Result("QVB.INF", "Status"), "failed");
    }
    UnmapDrive(Drive);
    RemoveTree(disc2);
}

// What a person chose, recorded, replays the same commands unattended.
TEST(Unattended, RecordedChoiceReplaysTheSameCommands)
{
    MediaFolder media;
    const std::string record = media.Path("RECORD.INI"), log = media.Path("PERSON.LOG");
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=MULTI", "LOG=" + log, "[Priority]",
                                "QV1.INF", "QV2.INF", "QV3.INF"});
    media.WriteApp("QV1.INF", AppInf{"One", {"PROG," + media.Stamp("1")}, {}, ""});
    media.WriteApp("QV2.INF", AppInf{"Two", {"PROG," + media.Stamp("2")}, {"Default=YES"}, ""});
    media.WriteApp("QV3.INF", AppInf{"Three", {"PROG," + media.Stamp("3")}, {}, ""});
    {
        ScopedVariable recording("QVSETUP_RECORD", record.c_str());
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        HWND list = SelectorOf(dialog);
        PressKey(list, VK_SPACE);
        ASSERT_TRUE(WaitUntil([&] { return run.SelectedOf(ItemRecordOf(list, 0)) == 1; }, 3000));
        PressButton(dialog, IDC_INSTALL);
        ASSERT_TRUE(RunExits(run));
    }
    char select[256] = {};
    GetPrivateProfileStringA("Unattended", "Select", "", select, sizeof select, record.c_str());
    EXPECT_STREQ(select, "QV1.INF,QV2.INF");
    WriteBytes(record, ReadBytes(record) + "Log=" + media.Path("REPLAY.LOG") + "\r\n");
    const UnattendedEnd end = RunUnattended(media.folder(), record, 20000);
    ASSERT_TRUE(end.ended);
    EXPECT_EQ(end.exitCode, 0u);
    const std::vector<std::string> person = CommandLines(log);
    EXPECT_EQ(person.size(), 2u);
    EXPECT_EQ(CommandLines(media.Path("REPLAY.LOG")), person);
}

// The result file belongs to the run that goes on: a second qvsetup of the
// same answers (a RunOnce start and a line's own logon script) leaves its
// "running" alone, and the run then writes its end; a reader that holds the
// file without letting it be replaced (a monitoring script) does not keep
// the end out of it.
TEST(Unattended, TheLiveRunsResultLands)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,3000"}, {"Default=YES"}, ""});
    AnswerFile answers;
    std::string whileSecond;
    DWORD secondCode = 0;
    const UnattendedEnd first = RunUnattended(media.folder(), answers.File(), 20000, [&] {
        if (secondCode != 0 || !answers.Logged("command SLEEP"))
            return;
        secondCode = RunUnattended(media.folder(), answers.File(), 20000).exitCode;
        whileSecond = answers.Result("Result", "ExitCode") + "/" + answers.Result("Result", "Reason");
    });
    EXPECT_EQ(secondCode, 7u);
    EXPECT_EQ(whileSecond, "/running");
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_EQ(answers.Result("Result", "ExitCode"), "0");

    AnswerFile held;
    HANDLE reader = INVALID_HANDLE_VALUE;
    const UnattendedEnd end = RunUnattended(media.folder(), held.File(), 30000, [&] {
        if (reader == INVALID_HANDLE_VALUE && held.Result("Result", "Reason") == "running")
            reader = CreateFileA(held.ResultFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    });
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(end.exitCode, 0u);
    EXPECT_EQ(held.Result("Result", "ExitCode"), "0");
    EXPECT_EQ(held.Result("QVA.INF", "Status"), "done");
    EXPECT_TRUE(held.Logged("it was written in place")) << "the reader did not hold the file up";
}

// An application with a MODEL is offered on the models its condition
// matches (typescan beside qvsetup reads the table the driver is given):
// Select=ALL runs it there, leaves it out elsewhere, and leaves it out when
// the model can't be read unless the answers name it; a MODEL that typescan
// would refuse stops loading, as a bad command line does.
TEST(Unattended, ApplicationsOfferedByModel)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    ASSERT_TRUE(CopyFileA(BuildProgram("typescan.exe").c_str(), media.Path("TYPESCAN.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(BuildProgram("Biospeek.sys").c_str(), media.Path("Biospeek.sys").c_str(), FALSE));
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("a")}, {}, ""});
    const std::string model = "MODEL=\"/mode=0 /ALL=EQ\"";
    const struct {
        const char* name;
        const char* product;    // null: no typescan on the media
        std::string modelLine;
        std::vector<std::string> answers;
        DWORD exitCode;
        std::vector<std::string> stamps;
        const char* status;
        std::string logged;
    } cases[] = {
        {"the model matches", "EQ", model, {"Select=ALL"}, 0, {"a", "b"}, "done",
         "MODEL \"/mode=0 /ALL=EQ\": this model matches"},
        {"another model", "EQ12", model, {"Select=ALL"}, 0, {"a"}, "not offered",
         "not offered on this model: \"B\""},
        {"no typescan: left out of ALL", nullptr, model, {"Select=ALL"}, 0, {"a"}, "model unread",
         "offered unchosen, the model could not be read: \"B\""},
        {"no typescan: named", nullptr, model, {"Select=QVA.INF,QVB.INF"}, 0, {"a", "b"}, "done",
         "MODEL \"/mode=0 /ALL=EQ\": the model could not be read"},
        {"named, for another model", "EQ12", model, {"Select=QVA.INF,QVB.INF"}, 0, {"a"}, "not offered",
         "not offered on this model: \"B\""},
        {"a MODEL typescan refuses", "EQ", "MODEL=/mode=0 /N=ABC", {"Select=ALL"}, 2, {}, "(none)",
         "loading stopped on " + media.Path("QVB.INF")},
        // A program that ends otherwise than typescan does without a
        // command line is no typescan that knows the failure codes: its 0
        // would leave B out as another model.
        {"an older typescan", "EQ12", model, {"Select=ALL"}, 0, {"a"}, "model unread",
         "where one that knows /FAILCODES ends with 3: it is not asked"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(media.StampFile().c_str());
        const bool older = std::string(c.name) == "an older typescan";
        if (c.product)
            CopyFileA(BuildProgram(older ? "stamp.exe" : "typescan.exe").c_str(), media.Path("TYPESCAN.EXE").c_str(),
                      FALSE);
        else
            DeleteFileA(media.Path("TYPESCAN.EXE").c_str());
        ASSERT_TRUE(WriteBytes(media.Path("Biospeek.dat"), TableNaming(c.product ? c.product : "EQ")));
        media.WriteApp("QVB.INF", AppInf{"B", {"PROG," + media.Stamp("b")}, {c.modelLine}, ""});
        AnswerFile answers(c.answers);
        const UnattendedEnd end = RunUnattended(media.folder(), answers.File(), 60000);
        ASSERT_TRUE(end.ended);
        EXPECT_EQ(end.exitCode, c.exitCode);
        EXPECT_EQ(StampLabels(ReadStamps(media.StampFile()), "start"), c.stamps);
        EXPECT_EQ(answers.Result("QVB.INF", "Status"), c.status);
        EXPECT_TRUE(answers.Logged(c.logged)) << c.logged;
        if (c.exitCode == 2) {
            EXPECT_EQ(answers.Result("Result", "Message"), "ﾓﾃﾞﾙの条件が不正です.\n" + media.Path("QVB.INF"));
        }
    }

    // A single-choice list, no Select and no typescan: the first item is
    // the one an unattended run takes, but not where its model is unread.
    DeleteFileA(media.StampFile().c_str());
    DeleteFileA(media.Path("TYPESCAN.EXE").c_str());
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=SINGLE"});
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("a")}, {model}, ""});
    AnswerFile noSelect;
    ASSERT_TRUE(RunUnattended(media.folder(), noSelect.File(), 60000).ended);
    EXPECT_EQ(StampLabels(ReadStamps(media.StampFile()), "start"), std::vector<std::string>{});
    EXPECT_EQ(noSelect.Result("QVA.INF", "Status"), "model unread");
    EXPECT_FALSE(ServiceExists("Biospeek"));
}
