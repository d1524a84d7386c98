// Unattended runs of the real qvsetup.exe: QVSETUP_ANSWERS names an answer
// file, and no step of a test answers a window of the run (RunUnattended
// fails the test if one waits for a person).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/run_follower.h"
#include "tests/kit/setup_run.h"

namespace {

constexpr char Drive = 'R';
const std::string Installed = "C:\\Program Files\\QVSAMPLE";

// An answer file, a log and a result file in a folder of their own.
class Answers {
public:
    explicit Answers(const std::vector<std::string>& keys = {}) : folder_(MakeTempFolder("answers"))
    {
        std::string text = "[Unattended]\r\nLog=" + Log() + "\r\nResult=" + folder_ + "\\RESULT.INI\r\n";
        for (const std::string& key : keys)
            text += key + "\r\n";
        WriteBytes(File(), text);
    }
    ~Answers() { RemoveTree(folder_); }
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;

    std::string File() const { return folder_ + "\\ANSWERS.INI"; }
    std::string Log() const { return folder_ + "\\RUN.LOG"; }
    std::string Result(const char* section, const char* key) const
    {
        char value[1024] = {};
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value,
                                 (folder_ + "\\RESULT.INI").c_str());
        return value;
    }
    bool Logged(const std::string& text) const { return LoggedAt(text) >= 0; }
    // The milliseconds of the day of the first log line with `text`; -1 when none has it.
    long LoggedAt(const std::string& text) const
    {
        for (const std::string& line : TextLines(ReadBytes(Log()))) {
            int hours = 0, minutes = 0, seconds = 0, ms = 0;
            if (line.find(text) != std::string::npos &&
                sscanf(line.c_str(), "%*d-%*d-%*d %d:%d:%d.%d", &hours, &minutes, &seconds, &ms) == 4)
                return ((hours * 60L + minutes) * 60L + seconds) * 1000L + ms;
        }
        return -1;
    }

private:
    std::string folder_;
};

std::vector<std::string> CommandLines(const std::string& log)
{
    std::vector<std::string> commands;
    for (const std::string& line : SetupLogLines(log)) {
        if (line.rfind("command ", 0) == 0)
            commands.push_back(line);
    }
    return commands;
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
        Answers answers(std::vector<std::string>{"Select=ALL"});
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
        Answers answers(std::vector<std::string>{"DiscWait=3"});
        const UnattendedEnd end = RunUnattended(sample.folder(), answers.File(), 30000, {},
                                                sample.folder() + "\\QVSETUP.EXE");
        ASSERT_TRUE(end.ended);
        EXPECT_EQ(end.exitCode, 4u);
        EXPECT_EQ(answers.Result("Result", "ExitCode"), "4");
        EXPECT_EQ(answers.Result("Result", "Message"), "ｻﾝﾌﾟﾙ ﾃﾞｨｽｸ 2 を入れて [再試行] を押してください.");
        EXPECT_NE(answers.Result("Result", "FailedAt").find("QVDATA.INF: line 1 of [Install]: COPY,"),
                  std::string::npos);
        EXPECT_EQ(answers.Result("QVDATA.INF", "Status"), "failed");
        EXPECT_EQ(answers.Result("QVZNOTICE.INF", "Status"), "not reached");
        EXPECT_EQ(answers.Result("QVEXTRA.INF", "Status"), "not chosen");
        const long waited = answers.LoggedAt("drive check DISC2: no disc within 3 s") -
                            answers.LoggedAt("drive check DISC2: looking for");
        EXPECT_GE(waited, 2900);
        EXPECT_LT(waited, 5000);
    }
    UnmapDrive(Drive);
    RemoveTree(empty);
    RemoveTree(Installed);
}

// Each way a run ends has its own exit code, and the result says why.
TEST(Unattended, EveryEndHasItsCode)
{
    Media media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "[DefaultInstall]", "PROG," + media.Stamp("default")});
    const std::string copy = "COPY," + media.Path("NOSUCH.TXT") + "," + media.Path("OUT.TXT");
    // Each case's one further sign: a value of [Result], or with "log" a
    // line of the log.
    const struct {
        const char* name;
        std::vector<std::string> install;
        std::vector<std::string> answers;
        DWORD exitCode;
        std::vector<std::string> stamps;
        std::string key;
        std::string value;
    } cases[] = {
        {"a box and a notice without a time", {"MSGBOX,hello", "ATTENTION,bye", "PROG," + media.Stamp("after")},
         {}, 0, {"default"}, "log", "notice without a time, taken as closed (unattended): bye"},
        {"a failing copy", {"SLEEP,1", copy}, {}, 3, {"default"},
         "FailedAt", media.Path("QVA.INF") + ": line 2 of [Install]: " + copy},
        {"SHUTDOWN under Restart=NO", {"SHUTDOWN,\"restart?\",1", "PROG," + media.Stamp("after")},
         {}, 10, {"default"}, "log", "Windows is not to restart (unattended, Restart=NO)"},
        {"a PROG past ProgTimeout", {"PROG," + media.Stamp("slow", 5000)}, {"ProgTimeout=1"}, 5,
         {"default", "slow"}, "log", "PROG's program still runs after 1 s (ProgTimeout)"},
        {"a name the media do not offer", {"PROG," + media.Stamp("after")}, {"Select=QVX.INF"}, 6, {},
         "Reason", "the answer file is missing, unreadable or wrong"},
        {"an unknown key", {"PROG," + media.Stamp("after")}, {"Reboot=NO"}, 6, {},
         "log", "unknown key: Reboot: nothing runs"},
        {"a bad command line", {"BOGUS,1"}, {}, 2, {},
         "Message", "ｲﾝｽﾄｰﾙするｺﾏﾝﾄﾞが不正です.\\n" + media.Path("QVA.INF")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(media.StampFile().c_str());
        media.WriteApp("QVA.INF", AppInf{"A", c.install, {}, ""});
        Answers answers(c.answers);
        const UnattendedEnd end = RunUnattended(media.folder(), answers.File(), 20000);
        ASSERT_TRUE(end.ended);
        EXPECT_EQ(end.exitCode, c.exitCode);
        EXPECT_EQ(answers.Result("Result", "ExitCode"), std::to_string(c.exitCode));
        std::vector<std::string> started;
        for (const Stamp& stamp : ReadStamps(media.StampFile())) {
            if (stamp.event == "start")
                started.push_back(stamp.label);
        }
        EXPECT_EQ(started, c.stamps);
        if (c.key == "log")
            EXPECT_TRUE(answers.Logged(c.value)) << c.value;
        else
            EXPECT_EQ(answers.Result("Result", c.key.c_str()), c.value);
    }
    // A missing answer file, and a second run while one goes on.
    EXPECT_EQ(RunUnattended(media.folder(), media.Path("NOSUCH.INI"), 20000).exitCode, 6u);
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,20000"}, {}, ""});
    Answers answers;
    SetupRun first(media.folder());
    ASSERT_NE(first.StartInstall(), nullptr);
    const UnattendedEnd second = RunUnattended(media.folder(), answers.File(), 20000);
    EXPECT_EQ(second.exitCode, 7u);
}

// What a person chose, recorded, replays the same commands unattended.
TEST(Unattended, RecordedChoiceReplaysTheSameCommands)
{
    Media media;
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
