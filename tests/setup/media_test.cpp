// Disc checks and the painted background of the real qvsetup.exe: drives
// set up in the prefix, prompts answered, pixels read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

// A run of one application; the disc is a folder given to Wine as drive R.
class DiscCheck : public testing::Test {
protected:
    void SetUp() override
    {
        disc_ = MakeTempFolder("disc");
        ASSERT_TRUE(MapDrive('R', disc_, DRIVE_CDROM));
    }
    void TearDown() override
    {
        run_.reset();
        UnmapDrive('R');
        RemoveTree(disc_);
    }

    void Start(const std::string& checks, std::initializer_list<std::string> install)
    {
        std::vector<std::string> lines(install);
        WriteBytes(media_.Path("QVSETUP.INF"), "[QvSetupConfig]\r\nSETUPNAME=ﾃﾞｨｽｸ\r\n");
        std::string text = "[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=A\r\n"
                           "[CheckCdrom]\r\n" + checks + "[Install]\r\n";
        for (const std::string& line : lines)
            text += line + "\r\n";
        WriteBytes(media_.Path("QVA.INF"), text);
        run_.reset(new SetupRun(media_.folder()));
        ASSERT_NE(run_->StartInstall(), nullptr);
    }

    // The next prompt, checked for its caption and text; null when none came.
    HWND Prompt(const std::string& text, DWORD timeoutMs = 5000)
    {
        HWND box = run_->WaitForMessageBox(timeoutMs);
        if (box) {
            const MessageBoxText seen = ReadMessageBox(box);
            EXPECT_EQ(seen.caption, "QVSETUP");
            EXPECT_EQ(seen.text, text);
        }
        return box;
    }

    void Answer(HWND box, int button)
    {
        PressButton(box, button);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
    }

    std::string disc_;
    MediaFolder media_;
    std::unique_ptr<SetupRun> run_;
};

TEST_F(DiscCheck, AKeyIsProbedOnceUntilAnotherKeyOfItsKindIsChecked)
{
    Start("DISK1=\\D1.TXT,\"ﾃﾞｨｽｸ1\\nを入れてください\",2\r\nDISK2=\\SUB\\D2.TXT,ﾃﾞｨｽｸ2,2\r\n",
          {"PROG," + media_.Stamp("c1-%CDROM%") + ",,DISK1",
           "PROG," + media_.Stamp("c2-%CDROM%") + ",,DISK1",
           "PROG," + media_.Stamp("c3-%CDROM%") + ",,DISK2",
           "PROG," + media_.Stamp("c4-%CDROM%") + ",,DISK1"});
    HWND box = Prompt("ﾃﾞｨｽｸ1\nを入れてください");
    ASSERT_NE(box, nullptr);
    WriteBytes(disc_ + "\\D1.TXT", "1");
    Answer(box, IDRETRY);
    box = Prompt("ﾃﾞｨｽｸ2");
    ASSERT_NE(box, nullptr);
    // c2 ran without a prompt: the key was remembered.
    EXPECT_EQ(media_.StampLabels(), (std::vector<std::string>{"c1-R", "c2-R"}));
    CreateDirectoryA((disc_ + "\\SUB").c_str(), nullptr);
    WriteBytes(disc_ + "\\SUB\\D2.TXT", "2");
    DeleteFileA((disc_ + "\\D1.TXT").c_str());
    Answer(box, IDRETRY);
    // DISK1 again, after DISK2: probed again.
    box = Prompt("ﾃﾞｨｽｸ1\nを入れてください");
    ASSERT_NE(box, nullptr);
    WriteBytes(disc_ + "\\D1.TXT", "1");
    Answer(box, IDRETRY);
    EXPECT_TRUE(RunExits(*run_));
    EXPECT_EQ(media_.StampLabels(), (std::vector<std::string>{"c1-R", "c2-R", "c3-R", "c4-R"}));
}

TEST_F(DiscCheck, EveryButtonSetAndAnswer)
{
    struct Case {
        const char* buttonSet;
        std::vector<int> buttons;
        int answer;
        enum { Again, Ends, Runs } effect;
    };
    const Case cases[] = {
        {"1", {IDOK}, IDOK, Case::Again},
        {"2", {IDRETRY, IDCANCEL}, IDRETRY, Case::Again},
        {"2", {IDRETRY, IDCANCEL}, IDCANCEL, Case::Ends},
        {"3", {IDABORT, IDRETRY, IDIGNORE}, IDABORT, Case::Ends},
        {"3", {IDABORT, IDRETRY, IDIGNORE}, IDRETRY, Case::Again},
        {"3", {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, Case::Runs},
        {"", {IDOK, IDCANCEL}, IDOK, Case::Again},
        {" 9", {IDOK, IDCANCEL}, IDCANCEL, Case::Ends},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.buttonSet) + " " + std::to_string(c.answer));
        DeleteFileA((disc_ + "\\P.TXT").c_str());
        DeleteFileA(media_.StampFile().c_str());
        Start(std::string("K=\\P.TXT,ﾌﾟﾛﾝﾌﾟﾄ,") + c.buttonSet + "\r\n",
              {"PROG," + media_.Stamp("1-%CDROM%") + ",,K",
               "PROG," + media_.Stamp("2-%CDROM%") + ",,K"});
        HWND box = Prompt("ﾌﾟﾛﾝﾌﾟﾄ");
        ASSERT_NE(box, nullptr);
        for (const int button : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE}) {
            const bool expected =
                std::find(c.buttons.begin(), c.buttons.end(), button) != c.buttons.end();
            EXPECT_EQ(GetDlgItem(box, button) != nullptr, expected) << button;
        }
        Answer(box, c.answer);
        if (c.effect == Case::Again) {
            box = Prompt("ﾌﾟﾛﾝﾌﾟﾄ");
            ASSERT_NE(box, nullptr);
            WriteBytes(disc_ + "\\P.TXT", "p");
            Answer(box, c.answer);
            EXPECT_TRUE(RunExits(*run_));
            EXPECT_EQ(media_.StampLabels(), (std::vector<std::string>{"1-R", "2-R"}));
        } else if (c.effect == Case::Ends) {
            EXPECT_TRUE(RunExits(*run_));
            EXPECT_TRUE(media_.StampLabels().empty());
        } else {
            // Ignored, not remembered: the next command with the key asks again.
            box = Prompt("ﾌﾟﾛﾝﾌﾟﾄ");
            ASSERT_NE(box, nullptr);
            Answer(box, IDIGNORE);
            EXPECT_TRUE(RunExits(*run_));
            EXPECT_EQ(media_.StampLabels(), (std::vector<std::string>{"1-R", "2-R"}));
        }
    }
}

TEST_F(DiscCheck, FdCheckUsesTheSourceDriveAndNeverAsksForADrive)
{
    const std::string floppy = MakeTempFolder("floppy");
    WriteBytes(floppy + "\\F.TXT", "f");
    ASSERT_TRUE(MapDrive('S', floppy, DRIVE_REMOVABLE));
    Start("K=\\F.TXT,floppy,1\r\n", {"PROG," + media_.Stamp("fd-%FD%") + ",,K",
                                      "MSGBOX,%CDROM%-%FD%"});
    HWND box = run_->WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, "R-S");
    Answer(box, IDOK);
    EXPECT_TRUE(RunExits(*run_));
    EXPECT_EQ(media_.StampLabels(), std::vector<std::string>{"fd-S"});
    UnmapDrive('S');
    RemoveTree(floppy);
}

// Without a CD-ROM drive the first %CDROM% command asks for one.
class DriveDialog : public testing::Test {
protected:
    void SetUp() override
    {
        char roots[128] = {};
        GetLogicalDriveStringsA(sizeof roots, roots);
        for (const char* root = roots; *root; root += strlen(root) + 1) {
            if (GetDriveTypeA(root) == DRIVE_CDROM)
                GTEST_SKIP() << "the prefix has a CD-ROM drive " << root;
        }
        network_ = MakeTempFolder("net");
        WriteBytes(network_ + "\\P.TXT", "p");
        ASSERT_TRUE(MapDrive('N', network_, DRIVE_REMOTE));
        ASSERT_TRUE(MapDrive('O', network_, DRIVE_REMOTE));
        WriteBytes(media_.Path("QVSETUP.INF"), "[QvSetupConfig]\r\nSETUPNAME=ﾄﾞﾗｲﾌﾞ\r\n");
        media_.WriteApp("QVA.INF", AppInf{"A", {}, {}, ""});
        WriteBytes(media_.Path("QVA.INF"),
                   "[Version]\r\nsignature=$QVSETUP$\r\n[Strings]\r\nTITLE=A\r\n"
                   "[CheckCdrom]\r\nK=\\P.TXT,p,1\r\n[Install]\r\nPROG," +
                       media_.Stamp("one-%CDROM%") + ",,K\r\nPROG," + media_.Stamp("two-%CDROM%") +
                       ",,K\r\n");
        run_.reset(new SetupRun(media_.folder()));
        ASSERT_NE(run_->StartInstall(), nullptr);
        drives_ = run_->WaitForDriveDialog();
        ASSERT_NE(drives_, nullptr);
    }
    void TearDown() override
    {
        run_.reset();
        UnmapDrive('N');
        UnmapDrive('O');
        if (!network_.empty())
            RemoveTree(network_);
    }

    // The drive letters listed (texts across processes come back cut to
    // their first character under Wine: the letter is what counts).
    std::string Letters() const
    {
        HWND list = GetDlgItem(drives_, IDC_DRIVE_LIST);
        std::string letters;
        const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[16] = {};
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            letters += text[0];
        }
        return letters;
    }

    std::string network_;
    MediaFolder media_;
    std::unique_ptr<SetupRun> run_;
    HWND drives_ = nullptr;
};

TEST_F(DriveDialog, ListsNetworkDrivesAndTheChosenLetterServesEveryCommand)
{
    EXPECT_EQ(WindowText(drives_), "ﾄﾞﾗｲﾌﾞ");
    const std::string letters = Letters();
    const size_t n = letters.find('N');
    const size_t o = letters.find('O');
    ASSERT_NE(n, std::string::npos);
    ASSERT_NE(o, std::string::npos);
    EXPECT_LT(n, o);
    EXPECT_EQ(SendMessageA(GetDlgItem(drives_, IDC_DRIVE_LIST), CB_GETCURSEL, 0, 0), 0);
    SendMessageA(GetDlgItem(drives_, IDC_DRIVE_LIST), CB_SETCURSEL, o, 0);
    PressButton(drives_, IDOK);
    ASSERT_TRUE(RunExits(*run_));
    EXPECT_EQ(media_.StampLabels(), (std::vector<std::string>{"one-O", "two-O"}));
}

TEST_F(DriveDialog, NetworkButtonKeepsTheDialogAndCancelEndsTheRun)
{
    PressButton(drives_, 4);
    // Whatever the system's network dialog answers, the drive dialog stays.
    if (HWND box = run_->WaitForMessageBox(3000)) {
        EXPECT_EQ(ReadMessageBox(box).text, "ﾈｯﾄﾜｰｸが見つかりません");
        EXPECT_EQ(ReadMessageBox(box).caption, "ﾄﾞﾗｲﾌﾞ");
        PressButton(box, IDOK);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
    }
    for (HWND window : ProcessWindows(run_->pid(), "#32770")) {
        if (window != drives_ && IsWindowVisible(window))
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(drives_) != FALSE; }, 5000));
    // OK with no drive selected defines none: the dialog stays open.
    SendMessageA(GetDlgItem(drives_, IDC_DRIVE_LIST), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    PressButton(drives_, IDOK);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(drives_));
    PressButton(drives_, IDCANCEL);
    HWND box = run_->WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, "CD-ROMﾄﾞﾗｲﾌﾞが見つかりません.\n\nｾｯﾄｱｯﾌﾟを中止します.\n");
    PressButton(box, IDOK);
    ASSERT_TRUE(RunExits(*run_));
    EXPECT_TRUE(media_.StampLabels().empty());
}

} // namespace
