// The interpreter of the real qvsetup.exe and its process and message
// commands, timed from the stamps that the helper programs write.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

// One application (or several, in MULTI style) installed as soon as the
// dialog shows; answers the tick at which IDC_INSTALL was pressed.
class Interpreter : public testing::Test {
protected:
    void Start(std::initializer_list<std::string> config)
    {
        std::string master = "[QvSetupConfig]\r\n";
        for (const std::string& line : config)
            master += line + "\r\n";
        WriteBytes(media_.Path("QVSETUP.INF"), master);
        run_.reset(new SetupRun(media_.folder()));
        ASSERT_NE(run_->StartInstall(), nullptr);
        installTick_ = GetTickCount();
    }

    // The run ends with exit code 0; its stamps are read.
    void ExpectExit(DWORD timeoutMs = 20000)
    {
        EXPECT_TRUE(RunExits(*run_, timeoutMs));
        stamps_ = ReadStamps(media_.StampFile());
    }

    std::vector<std::string> Labels() const { return StampLabels(stamps_, "start"); }

    long Between(const std::string& from, const std::string& fromEvent, const std::string& to) const
    {
        return static_cast<long>(StampTick(stamps_, to) - StampTick(stamps_, from, fromEvent));
    }

    MediaFolder media_;
    std::unique_ptr<SetupRun> run_;
    DWORD installTick_ = 0;
    std::vector<Stamp> stamps_;
};

TEST_F(Interpreter, FirstCommandRunsAtOnceTheNextOneTickLater)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"EPROG," + media_.Stamp("a1"),
                                            "EPROG," + media_.Stamp("a2"),
                                            "EPROG," + media_.Stamp("a3")},
                                      {}, ""});
    Start({"SIGNAL=1000"});
    ExpectExit();
    ASSERT_EQ(Labels(), (std::vector<std::string>{"a1", "a2", "a3"}));
    // Inside the start message: well before the first tick.
    EXPECT_LT(static_cast<long>(StampTick(stamps_, "a1") - installTick_), 700);
    for (const auto& pair : {std::make_pair("a1", "a2"), std::make_pair("a2", "a3")}) {
        const long gap = Between(pair.first, "start", pair.second);
        EXPECT_GE(gap, 900) << pair.second;
        EXPECT_LE(gap, 1600) << pair.second;
    }
}

// A negative SIGNAL ticks at the platform's shortest time, as a negative
// SLEEP sleeps nothing, instead of waiting about 49 days for the second tick.
TEST_F(Interpreter, NegativeSignalTicksAtTheShortestTime)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media_.Stamp("a1"),
                                            "PROG," + media_.Stamp("a2")},
                                      {}, ""});
    Start({"SIGNAL=-5"});
    ExpectExit(5000);
    ASSERT_EQ(Labels(), (std::vector<std::string>{"a1", "a2"}));
    EXPECT_LE(Between("a1", "start", "a2"), 500);
}

TEST_F(Interpreter, ProgWaitsForItsProcessAndEprogDoesNot)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media_.Stamp("prog", 1500),
                                            "PROG," + media_.Stamp("afterProg"),
                                            "EPROG," + media_.Stamp("eprog", 1500),
                                            "PROG," + media_.Stamp("afterEprog")},
                                      {}, ""});
    Start({"SIGNAL=50"});
    ExpectExit();
    const long afterProg = Between("prog", "end", "afterProg");
    EXPECT_GE(afterProg, 0);
    EXPECT_LE(afterProg, 600);
    // The run did not wait for the EPROG program, which ends after it.
    ASSERT_TRUE(WaitUntil(
        [&] { return StampTick(ReadStamps(media_.StampFile()), "eprog", "end") != 0; }, 5000));
    stamps_ = ReadStamps(media_.StampFile());
    EXPECT_LT(StampTick(stamps_, "afterEprog"), StampTick(stamps_, "eprog", "end"));
}

TEST_F(Interpreter, SleepWaitsItsTimeWhateverTheTick)
{
    for (const int tick : {10, 400}) {
        SCOPED_TRACE(tick);
        media_.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media_.Stamp("before"), "SLEEP,500",
                                                "PROG," + media_.Stamp("after")},
                                          {}, ""});
        DeleteFileA(media_.StampFile().c_str());
        Start({"SIGNAL=" + std::to_string(tick)});
        ExpectExit();
        // One tick to reach SLEEP, then 500 ms, then the next command at once.
        const long sleep = Between("before", "start", "after") - tick;
        EXPECT_GE(sleep, 450);
        EXPECT_LE(sleep, 1000);
    }
}

TEST_F(Interpreter, UnselectedApplicationsAreSkippedAndAnEmptyOneEndsTheRun)
{
    media_.WriteApp("QV1.INF", AppInf{"1", {"PROG," + media_.Stamp("1")}, {"Default=YES"}, ""});
    media_.WriteApp("QV2.INF", AppInf{"2", {"PROG," + media_.Stamp("2")}, {}, ""});
    media_.WriteApp("QV3.INF", AppInf{"3", {"PROG," + media_.Stamp("3")}, {"Default=YES"}, ""});
    media_.WriteApp("QV4.INF", AppInf{"4", {}, {"Default=YES"}, ""});
    media_.WriteApp("QV5.INF", AppInf{"5", {"PROG," + media_.Stamp("5")}, {"Default=YES"}, ""});
    Start({"STYLE=MULTI", "[Priority]", "QV1.INF", "QV2.INF", "QV3.INF", "QV4.INF", "QV5.INF"});
    ExpectExit();
    EXPECT_EQ(Labels(), (std::vector<std::string>{"1", "3"}));
}

TEST_F(Interpreter, MessageBoxShowsItsTextAndCaptionByteForByte)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"MSGBOX,\"行1\\n行2 \\\"引用\\\"\",ｷｬﾌﾟｼｮﾝ",
                                            "MSGBOX,100%% ok", "PROG," + media_.Stamp("after")},
                                      {}, ""});
    Start({"SETUPNAME=ｲﾝｽﾄｰﾗ"});
    const struct {
        const char* text;
        const char* caption;
    } boxes[] = {{"行1\n行2 \"引用\"", "ｷｬﾌﾟｼｮﾝ"}, {"100%ok", "ｲﾝｽﾄｰﾗ"}};
    for (const auto& expected : boxes) {
        HWND box = run_->WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        const MessageBoxText text = ReadMessageBox(box);
        EXPECT_EQ(text.text, expected.text);
        EXPECT_EQ(text.caption, expected.caption);
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    }
    ExpectExit();
    EXPECT_EQ(Labels(), std::vector<std::string>{"after"});
}

TEST_F(Interpreter, FailedProgramShowsTheCommandLineAndEndsTheRun)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"PROG,C:\\NOWHERE\\MISSING.EXE /x",
                                            "PROG," + media_.Stamp("after")},
                                      {}, ""});
    Start({});
    HWND box = run_->WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const MessageBoxText text = ReadMessageBox(box);
    EXPECT_EQ(text.text, "ｺﾏﾝﾄﾞの実行に失敗しました.\nC:\\NOWHERE\\MISSING.EXE/x");
    EXPECT_EQ(text.caption, "ｾｯﾄｱｯﾌﾟ");
    PressButton(box, IDOK);
    ExpectExit();
    EXPECT_TRUE(Labels().empty());
}

TEST_F(Interpreter, NoticeWithATimeClosesAndEndsTheRun)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"ATTENTION,\"お待ちください\\n処理中\",1500",
                                            "PROG," + media_.Stamp("after")},
                                      {}, ""});
    Start({});
    HWND notice = run_->WaitForNotice();
    ASSERT_NE(notice, nullptr);
    const DWORD shown = GetTickCount();
    EXPECT_EQ(WindowText(GetDlgItem(notice, IDC_NOTICE_TEXT)), "お待ちください\n処理中");
    EXPECT_EQ(GetWindowLongA(notice, GWL_STYLE) & WS_CAPTION, 0);
    ExpectExit();
    const long open = static_cast<long>(GetTickCount() - shown);
    EXPECT_GE(open, 1200);
    EXPECT_LE(open, 4000);
    EXPECT_TRUE(Labels().empty());
}

TEST_F(Interpreter, NoticeWithoutATimeStaysOpen)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"ATTENTION,wait", "PROG," + media_.Stamp("after")},
                                      {}, ""});
    Start({});
    HWND notice = run_->WaitForNotice();
    ASSERT_NE(notice, nullptr);
    PressKey(notice, VK_ESCAPE);
    PostMessageA(notice, WM_CLOSE, 0, 0);
    Sleep(1500);
    EXPECT_TRUE(IsWindowVisible(notice));
    DWORD exitCode = 0;
    EXPECT_FALSE(run_->WaitForExit(100, &exitCode)); // still running
    EXPECT_TRUE(ReadStamps(media_.StampFile()).empty());
}

TEST_F(Interpreter, ProgramManagerCreatesTheGroup)
{
    char programs[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE));
    const std::string group = std::string(programs) + "\\QvKitGroup";
    RemoveTree(group);
    media_.WriteApp("QVA.INF", AppInf{"A", {"SHELLDDE,[CreateGroup(QvKitGroup)]",
                                            "PROG," + media_.Stamp("after")},
                                      {}, ""});
    Start({});
    ExpectExit();
    EXPECT_NE(GetFileAttributesA(group.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Labels(), std::vector<std::string>{"after"});
    RemoveTree(group);
}

TEST_F(Interpreter, ShutdownQuestionCancelledGoesOn)
{
    media_.WriteApp("QVA.INF", AppInf{"A", {"SHUTDOWN,\"再起動しますか?\\nはい\",1",
                                            "PROG," + media_.Stamp("after")},
                                      {}, ""});
    Start({"SETUPNAME=ｼｬｯﾄﾀﾞｳﾝ"});
    HWND box = run_->WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    const MessageBoxText text = ReadMessageBox(box);
    EXPECT_EQ(text.text, "再起動しますか?\nはい");
    EXPECT_EQ(text.caption, "ｼｬｯﾄﾀﾞｳﾝ");
    EXPECT_NE(GetDlgItem(box, IDCANCEL), nullptr);
    PressButton(box, IDCANCEL);
    ExpectExit();
    EXPECT_EQ(Labels(), std::vector<std::string>{"after"});
}

} // namespace
