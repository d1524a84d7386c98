// The selection dialog of the real qvsetup.exe: which applications it
// offers in which order, Install and Cancel, and the three selectors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

// The titles of the list's items, read from their records.
std::vector<std::string> ListTitles(const SetupRun& run, HWND list)
{
    std::vector<std::string> titles;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        titles.push_back(run.TitleOf(ItemRecordOf(list, static_cast<int>(i))));
    return titles;
}

TEST(Selection, PriorityOrderDuplicatesAndComments)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[Priority]", "QVB*.INF", ";QVA.INF", "qvb.inf", "QV*.INF"});
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {}, ""});
    media.WriteApp("QVB.INF", AppInf{"B", {"SLEEP,1"}, {}, ""});
    media.WriteApp("QVBB.INF", AppInf{"BB", {"SLEEP,1"}, {}, ""});
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog();
    ASSERT_NE(dialog, nullptr);
    const std::vector<std::string> titles = ListTitles(run, SelectorOf(dialog));
    ASSERT_EQ(titles.size(), 3u);
    // QVB*.INF first, in directory order; QVA.INF only through the last line.
    EXPECT_EQ(titles[2], "A");
    EXPECT_TRUE((titles[0] == "B" && titles[1] == "BB") || (titles[0] == "BB" && titles[1] == "B"));
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(RunExits(run));
}

TEST(Selection, DefaultPatternSkipsFilesWithoutTheSignature)
{
    for (const char* priority : {"", "[Priority]"}) {
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", priority});
        media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {}, ""});
        media.WriteApp("XB.INF", AppInf{"B", {"SLEEP,1"}, {}, ""});
        media.Write("QVC.INF", {"[Version]", "signature=$OTHER$", "[Strings]", "TITLE=C"});
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ListTitles(run, SelectorOf(dialog)), std::vector<std::string>{"A"});
        PressButton(dialog, IDCANCEL);
        EXPECT_TRUE(RunExits(run));
    }
}

TEST(Selection, NoApplicationsRunsDefaultInstallOrEndsSilently)
{
    MediaFolder withDefault;
    withDefault.Write("QVSETUP.INF", {"[DefaultInstall]", "PROG," + withDefault.Stamp("D")});
    SetupRun run(withDefault.folder());
    EXPECT_TRUE(RunExits(run));
    EXPECT_EQ(withDefault.StampLabels(), std::vector<std::string>{"D"});

    MediaFolder empty;
    empty.Write("QVSETUP.INF", {"[QvSetupConfig]"});
    SetupRun silent(empty.folder());
    EXPECT_TRUE(RunExits(silent));
}

TEST(Selection, InstallRunsDefaultInstallFirstAndCancelOnlyCancelInstall)
{
    struct Case {
        bool withCancelSection;
        int button;
        std::vector<std::string> stamps;
    };
    const Case cases[] = {
        {true, IDC_INSTALL, {"D", "B"}},
        {true, IDCANCEL, {"C"}},
        {false, IDCANCEL, {}},
        {false, IDC_INSTALL, {"D", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        MediaFolder media;
        std::string master = "[DefaultInstall]\r\nPROG," + media.Stamp("D") + "\r\n";
        if (c.withCancelSection)
            master += "[CancelInstall]\r\nPROG," + media.Stamp("C") + "\r\n";
        WriteBytes(media.Path("QVSETUP.INF"), master);
        media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("A")}, {}, ""});
        media.WriteApp("QVB.INF", AppInf{"B", {"PROG," + media.Stamp("B")}, {}, ""});
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        HWND list = SelectorOf(dialog);
        PressKey(list, VK_DOWN);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(dialog, IDC_DESCRIPTION)) ==
                                           "Bをｲﾝｽﾄｰﾙします。"; },
                              5000));
        PressButton(dialog, c.button);
        EXPECT_TRUE(RunExits(run));
        EXPECT_EQ(media.StampLabels(), c.stamps);
    }
}

TEST(Selection, CancelNoDisablesCancellingBeforeAndDuringTheRun)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[QvSetupConfig]", "CANCEL=no"});
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1500", "PROG," + media.Stamp("after")}, {}, ""});
    SetupRun run(media.folder());
    HWND dialog = run.WaitForSelectionDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));
    HWND background = run.BackgroundWindow();
    PostMessageA(background, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    PressButton(dialog, IDC_INSTALL);
    Sleep(500);
    PostMessageA(background, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(RunExits(run));
    EXPECT_EQ(media.StampLabels(), std::vector<std::string>{"after"});
}

TEST(Selection, BackgroundCloseBoxCancelsWhileAllowed)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[CancelInstall]", "PROG," + media.Stamp("C")});
    media.WriteApp("QVA.INF", AppInf{"A", {"PROG," + media.Stamp("A")}, {}, ""});
    SetupRun run(media.folder());
    ASSERT_NE(run.WaitForSelectionDialog(), nullptr);
    PostMessageA(run.BackgroundWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(RunExits(run));
    EXPECT_EQ(media.StampLabels(), std::vector<std::string>{"C"});
}

TEST(Selection, ForegroundKeepsTheNamedWindowsOnTop)
{
    // The test's own window carries caption B; no window carries A.
    HWND named = CreateWindowExA(0, "STATIC", "QvKit Window B", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(named, nullptr);
    for (const char* foreground : {"NO", "yes"}) {
        SCOPED_TRACE(foreground);
        SetWindowPos(named, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", std::string("FOREGROUND=") + foreground,
                                    "[ExcludeForegroundWindow]", "QvKit Window A",
                                    "QvKit Window B"});
        media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {}, ""});
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        SendMessageA(run.BackgroundWindow(), WM_ACTIVATEAPP, TRUE, 0);
        const bool topmost = (GetWindowLongA(named, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        EXPECT_EQ(topmost, std::string(foreground) == "yes");
        PressButton(dialog, IDCANCEL);
        EXPECT_TRUE(RunExits(run));
    }
    DestroyWindow(named);
}

TEST(Selection, SingleChoiceSelectorsSelectExactlyTheCurrentItem)
{
    for (const char* style : {"SINGLE", "SINGLELIST"}) {
        SCOPED_TRACE(style);
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", std::string("STYLE=") + style});
        media.WriteApp("QV1.INF", AppInf{"One", {"PROG," + media.Stamp("1")}, {}, "説明1"});
        media.WriteApp("QV2.INF", AppInf{"Two", {"PROG," + media.Stamp("2")}, {}, "説明2"});
        media.WriteApp("QV3.INF", AppInf{"Three", {"PROG," + media.Stamp("3")}, {}, "説明3"});
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", std::string("STYLE=") + style, "[Priority]",
                                    "QV1.INF", "QV2.INF", "QV3.INF"});
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        HWND selector = SelectorOf(dialog);
        HWND description = GetDlgItem(dialog, IDC_DESCRIPTION);
        const AppRecord* records[3];
        for (int i = 0; i < 3; ++i)
            records[i] = ItemRecordOf(selector, i);
        EXPECT_EQ(WindowText(description), "説明1");
        EXPECT_EQ(run.SelectedOf(records[0]), 1);
        EXPECT_EQ(run.SelectedOf(records[1]), 0);
        EXPECT_EQ(run.SelectedOf(records[2]), 0);

        PressKey(selector, VK_DOWN);
        PressKey(selector, VK_DOWN);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(description) == "説明3"; }, 5000));
        EXPECT_EQ(run.SelectedOf(records[0]), 0);
        EXPECT_EQ(run.SelectedOf(records[1]), 0);
        EXPECT_EQ(run.SelectedOf(records[2]), 1);
        PressButton(dialog, IDC_INSTALL);
        EXPECT_TRUE(RunExits(run));
        EXPECT_EQ(media.StampLabels(), std::vector<std::string>{"3"});
    }
}

class CheckList : public testing::Test {
protected:
    void SetUp() override
    {
        media_.Write("QVSETUP.INF", {"[QvSetupConfig]", "STYLE=MULTI", "[Priority]", "QV1.INF",
                                     "QV2.INF", "QV3.INF"});
        media_.WriteApp("QV1.INF", AppInf{"One", {"PROG," + media_.Stamp("1")}, {}, "説明1"});
        media_.WriteApp("QV2.INF",
                        AppInf{"Two", {"PROG," + media_.Stamp("2")}, {"Default=YES"}, "説明2"});
        media_.WriteApp("QV3.INF", AppInf{"Three", {"PROG," + media_.Stamp("3")}, {}, "説明3"});
        run_.reset(new SetupRun(media_.folder()));
        dialog_ = run_->WaitForSelectionDialog();
        ASSERT_NE(dialog_, nullptr);
        list_ = SelectorOf(dialog_);
        rowHeight_ = static_cast<int>(SendMessageA(list_, LB_GETITEMHEIGHT, 0, 0));
        for (int i = 0; i < 3; ++i)
            records_[i] = ItemRecordOf(list_, i);
    }

    std::vector<int> Selected() const
    {
        return {run_->SelectedOf(records_[0]), run_->SelectedOf(records_[1]),
                run_->SelectedOf(records_[2])};
    }

    // Waits until the flags are `expected`; the click or key is posted.
    bool SelectedBecomes(const std::vector<int>& expected) const
    {
        return WaitUntil([&] { return Selected() == expected; }, 3000);
    }

    int DefaultButton() const
    {
        return LOWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0));
    }

    MediaFolder media_;
    std::unique_ptr<SetupRun> run_;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    int rowHeight_ = 0;
    const AppRecord* records_[3] = {};
};

TEST_F(CheckList, ClicksInTheSquareToggleAndElsewhereOnlyMoveTheCaret)
{
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 0}));
    const int h = rowHeight_;
    // The square of row 1 is (3, h + 3) to (h - 3, 2h - 3), right and bottom outside.
    ClickAt(list_, 3, h + 3);
    EXPECT_TRUE(SelectedBecomes({0, 0, 0}));
    ClickAt(list_, h / 2, 2 * h + h / 2);
    EXPECT_TRUE(SelectedBecomes({0, 0, 1}));
    for (const POINT margin : {POINT{1, h + 1}, POINT{h - 3, h + h / 2}, POINT{h / 2, 2 * h - 3},
                               POINT{h + 20, h / 2}}) {
        ClickAt(list_, margin.x, margin.y);
    }
    Sleep(300);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 0, 1}));
    // The last click, on the title of row 0, made it current.
    EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(dialog_, IDC_DESCRIPTION)) == "説明1"; },
                          3000));
    PressButton(dialog_, IDC_INSTALL);
    ASSERT_TRUE(RunExits(*run_));
    EXPECT_EQ(media_.StampLabels(), std::vector<std::string>{"3"});
}

TEST_F(CheckList, SpaceTogglesAndInstallFollowsTheChecks)
{
    // Drawing the rows brings IDC_INSTALL up to date.
    EXPECT_TRUE(WaitUntil([&] { return DefaultButton() == IDC_INSTALL; }, 3000));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog_, IDC_INSTALL)));
    PressKey(list_, VK_DOWN); // row 1, checked
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list_, LB_GETCURSEL, 0, 0) == 1; }, 3000));
    PressKey(list_, VK_SPACE);
    EXPECT_TRUE(SelectedBecomes({0, 0, 0}));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(dialog_, IDC_INSTALL)); }, 3000));
    EXPECT_EQ(DefaultButton(), IDCANCEL);
    PressKey(list_, VK_SPACE);
    EXPECT_TRUE(SelectedBecomes({0, 1, 0}));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog_, IDC_INSTALL)) != FALSE; },
                          3000));
    EXPECT_EQ(DefaultButton(), IDC_INSTALL);
    PressButton(dialog_, IDC_INSTALL);
    ASSERT_TRUE(RunExits(*run_));
    EXPECT_EQ(media_.StampLabels(), std::vector<std::string>{"2"});
}

// Install with nothing checked (a scripted click arrives whatever the
// button's state) ends the program instead of leaving it waiting.
TEST_F(CheckList, InstallWithNothingCheckedEndsTheRun)
{
    PressKey(list_, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list_, LB_GETCURSEL, 0, 0) == 1; }, 3000));
    PressKey(list_, VK_SPACE);
    EXPECT_TRUE(SelectedBecomes({0, 0, 0}));
    PressButton(dialog_, IDC_INSTALL);
    EXPECT_TRUE(RunExits(*run_, 5000));
    EXPECT_TRUE(media_.StampLabels().empty());
}

} // namespace
