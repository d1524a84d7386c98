// The engine inside the test process, where the outside can't see: the
// administrator rules (token groups crafted where Wine always gives an
// administrator), the refusal of a master INF that needs one, Windows 9x,
// and the selection dialog's system menu under CANCEL=NO.
#include <gtest/gtest.h>

#include <vector>

#include "setup/core/administrator.h"
#include "setup/core/inf_parser.h"
#include "setup/core/run_course.h"
#include "setup/core/startup.h"
#include "setup/shell/attendants.h"
#include "setup/shell/background_window.h"
#include "setup/ui/engine_windows.h"
#include "setup/ui/selection_dialog.h"
#include "setup/resources/resource.h"
#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

// A SID S-1-5-a-b-... that frees itself.
class Sid {
public:
    explicit Sid(std::vector<DWORD> subAuthorities)
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        subAuthorities.resize(8, 0);
        AllocateAndInitializeSid(&nt, static_cast<BYTE>(count(subAuthorities)), subAuthorities[0],
                                 subAuthorities[1], subAuthorities[2], subAuthorities[3],
                                 subAuthorities[4], subAuthorities[5], subAuthorities[6],
                                 subAuthorities[7], &sid_);
    }
    ~Sid() { FreeSid(sid_); }
    Sid(const Sid&) = delete;
    Sid& operator=(const Sid&) = delete;
    PSID get() const { return sid_; }

private:
    static size_t count(const std::vector<DWORD>& values)
    {
        size_t n = values.size();
        while (n > 1 && values[n - 1] == 0)
            --n;
        return n;
    }
    PSID sid_ = nullptr;
};

// Answers GroupsIncludeAdministrators for a token-group list of the SIDs.
bool Decide(const std::vector<PSID>& sids, DWORD attributes = SE_GROUP_ENABLED)
{
    std::vector<char> block(sizeof(TOKEN_GROUPS) + sids.size() * sizeof(SID_AND_ATTRIBUTES));
    auto* groups = reinterpret_cast<TOKEN_GROUPS*>(block.data());
    groups->GroupCount = static_cast<DWORD>(sids.size());
    for (size_t i = 0; i < sids.size(); ++i)
        groups->Groups[i] = SID_AND_ATTRIBUTES{sids[i], attributes};
    return GroupsIncludeAdministrators(groups);
}

TEST(Administrator, AnySubAuthority544OfAValidGroupCounts)
{
    Sid administrators({32, 544});
    Sid users({32, 545});
    Sid domainUser({21, 1111, 2222, 3333, 1001});
    Sid ridAnywhere({21, 544, 7, 1001});
    char garbage[32] = {1, 9};
    EXPECT_TRUE(Decide({users.get(), administrators.get()}));
    EXPECT_TRUE(Decide({administrators.get()}, SE_GROUP_USE_FOR_DENY_ONLY));
    EXPECT_TRUE(Decide({ridAnywhere.get()}));
    EXPECT_FALSE(Decide({users.get(), domainUser.get()}));
    EXPECT_FALSE(Decide({garbage}));
    EXPECT_FALSE(Decide({}));
    // Wine's own user is an administrator.
    EXPECT_TRUE(IsAdministrator());
}

TEST(Administrator, MasterInfRequirementRefusesANonAdministrator)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[Version]", "admini=yes", "[QvSetupConfig]", "SETUPNAME=名前"});
    Engine engine = {};
    LocateMasterInf(media.folder().c_str(), &engine.media);
    LoadSettings(&engine.machine, &engine.media);
    NameEngineWindows(GetModuleHandleA(nullptr), engine.media.config.setupName);
    engine.machine.isAdmin = false;
    ASSERT_TRUE(RegisterBackgroundClass(GetModuleHandleA(nullptr)));
    MessageBoxCatcher catcher;
    EXPECT_EQ(CreateBackgroundWindow(GetModuleHandleA(nullptr), engine), nullptr);
    ASSERT_TRUE(catcher.Finish());
    EXPECT_EQ(catcher.box.text,
              "ｼｽﾃﾑを更新する権限がありません.\nｼｽﾃﾑ管理者に連絡してください.");
    EXPECT_EQ(catcher.box.caption, "名前");
    EXPECT_EQ(g_windows.selectionDialog, nullptr);
}

TEST(Administrator, Windows9xCountsAsAdministrator)
{
    MediaFolder media;
    media.Write("QVSETUP.INF", {"[Version]", "admini=YES"});
    media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {"admini=YES"}, ""});
    for (const char* version : {"win98", "win2k"}) {
        SCOPED_TRACE(version);
        ASSERT_TRUE(SetWindowsVersion("qvsetup.exe", version));
        SetupRun run(media.folder());
        HWND dialog = run.WaitForSelectionDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SendMessageA(SelectorOf(dialog), LB_GETCOUNT, 0, 0), 1);
        PressButton(dialog, IDCANCEL);
        EXPECT_TRUE(RunExits(run));
    }
    SetWindowsVersion("qvsetup.exe", nullptr);
}

TEST(SelectionDialog, CancelNoDisablesCancelAndTheCloseItem)
{
    for (const char* cancel : {"no", "YES"}) {
        SCOPED_TRACE(cancel);
        MediaFolder media;
        media.Write("QVSETUP.INF", {"[QvSetupConfig]", std::string("CANCEL=") + cancel});
        media.WriteApp("QVA.INF", AppInf{"A", {"SLEEP,1"}, {}, ""});
        Engine engine = {};
        g_windows = EngineWindows{};
        LocateMasterInf(media.folder().c_str(), &engine.media);
        LoadSettings(&engine.machine, &engine.media);
        NameEngineWindows(GetModuleHandleA(nullptr), engine.media.config.setupName);
        engine.machine.isAdmin = true;
        const SelectionScene scene = {&engine.machine, &engine.media, &PersonAttendant()};
        HWND dialog = CreateDialogParamA(g_windows.instance, MAKEINTRESOURCEA(IDD_SELECTION), nullptr,
                                         SelectionDialogProc, reinterpret_cast<LPARAM>(&scene));
        ASSERT_NE(dialog, nullptr);
        g_windows.selectionDialog = dialog;
        const bool allowed = std::string(cancel) == "YES";
        EXPECT_EQ(engine.media.config.cancelAllowed, allowed);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)) != FALSE, allowed);
        const UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_DISABLED) != 0, !allowed);
        EXPECT_EQ(state & MF_GRAYED & ~MF_DISABLED, 0u); // disabled, not greyed
        DestroyWindow(dialog);
        FreeAppList(engine.media);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

} // namespace
