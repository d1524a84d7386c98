// envprep.exe under Wine, on registry state and profile files prepared in
// the prefix, with the Windows version set for envprep.exe alone.
#include <gtest/gtest.h>

#include <shlwapi.h>
#include <userenv.h>

#include <memory>
#include <string>

#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/ui.h"

namespace {

constexpr char Caption[] = "Windows(R) 2000 環境設定プログラム";
const std::string Services = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\";
const std::string Enum = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\";

DWORD ReadDword(const std::string& subkey, const char* name)
{
    DWORD type = 0;
    std::string data;
    if (!ReadRegistryValue(HKEY_LOCAL_MACHINE, subkey.c_str(), name, &type, &data) ||
        data.size() != 4)
        return 0xDEADBEEF;
    return *reinterpret_cast<const DWORD*>(data.data());
}

void DeleteTree(const std::string& subkey)
{
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, subkey.c_str());
}

class Envprep : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetWindowsVersion("envprep.exe", "win2k"));
        for (const char* key : {"kbdhid", "mouhid", "i8042prt", "NtAPM", "ACPI"})
            DeleteTree(std::string("SYSTEM\\CurrentControlSet\\Services\\") + key);
        DeleteTree("SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_5C7E&Pid_0014&Mi_00");
        DeleteTree("SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_5C7E&Pid_004F&Mi_00");
        DeleteTree("SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_5C7E&Pid_0011&Mi_01");
        DeleteTree("SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NTAPM");
    }
    void TearDown() override { SetWindowsVersion("envprep.exe", nullptr); }

    // Runs envprep.exe /silent; answers its exit code.
    DWORD RunSilent(const std::string& extra = "")
    {
        const RunResult run =
            RunProgram("\"" + BuildProgram("envprep.exe") + "\" /silent" + extra, 60000);
        EXPECT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        return run.exitCode;
    }

    void Import(const std::string& body)
    {
        ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n" + body));
    }
};

TEST_F(Envprep, PlatformCheckAndSilentSwitch)
{
    for (const char* version : {"nt40", "win98"}) {
        SCOPED_TRACE(version);
        ASSERT_TRUE(SetWindowsVersion("envprep.exe", version));
        SetupRun run("/silent", BuildProgram("envprep.exe"));
        HWND box = run.WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        const MessageBoxText text = ReadMessageBox(box);
        EXPECT_EQ(text.caption, "エラー");
        EXPECT_EQ(text.text, "このプログラムは、Windows2000をインストールしてから実行してください。");
        PressButton(box, IDOK);
        DWORD exitCode = 0;
        ASSERT_TRUE(run.WaitForExit(10000, &exitCode));
        EXPECT_EQ(exitCode, 101u);
    }
    ASSERT_TRUE(SetWindowsVersion("envprep.exe", "winxp"));
    EXPECT_EQ(RunSilent(), 0u);
    ASSERT_TRUE(SetWindowsVersion("envprep.exe", "win2k"));
    EXPECT_EQ(RunSilent(" /a"), 0u);

    // Not silent: the confirmation box; Cancel changes nothing.
    for (const char* arguments : {"/silentx", "/SILENT", ""}) {
        SCOPED_TRACE(arguments);
        SetupRun run(arguments, BuildProgram("envprep.exe"));
        HWND box = run.WaitForMessageBox();
        ASSERT_NE(box, nullptr);
        const MessageBoxText text = ReadMessageBox(box);
        EXPECT_EQ(text.caption, Caption);
        EXPECT_EQ(text.text, "Windows(R) 2000 環境設定プログラムを開始します。よろしいですか？");
        PressButton(box, IDCANCEL);
        DWORD exitCode = 0;
        ASSERT_TRUE(run.WaitForExit(10000, &exitCode));
        EXPECT_EQ(exitCode, 0xFFFFFFFFu);
    }
    // OK runs the steps and shows the final box.
    SetupRun run("/a /b", BuildProgram("envprep.exe"));
    HWND box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    box = run.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text,
              "Windows(R) 2000 環境設定プログラムが終了しました。\n再起動後、設定が反映されます。");
    PressButton(box, IDOK);
    DWORD exitCode = 1;
    ASSERT_TRUE(run.WaitForExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(Envprep, KeyboardPortAndWakeFromTheMakersDevices)
{
    const std::string keyboard = "USB\\Vid_5C7E&Pid_0014&Mi_00\\6&1";
    const std::string other = "USB\\Vid_5C7E&Pid_004F&Mi_00\\6&2"; // F: not the maker's id
    const std::string mouse = "USB\\Vid_5C7E&Pid_0011&Mi_01\\6&3";
    Import("[" + Services + "i8042prt]\r\n\"Start\"=dword:00000001\r\n"
           "[" + Services + "ACPI]\r\n\"Start\"=dword:00000000\r\n"
           "[" + Services + "kbdhid\\Enum]\r\n\"Count\"=dword:00000002\r\n"
           "\"0\"=\"USB\\\\Vid_5C7E&Pid_0014&Mi_00\\\\6&1\"\r\n"
           "\"1\"=\"USB\\\\Vid_5C7E&Pid_004F&Mi_00\\\\6&2\"\r\n"
           "[" + Services + "mouhid\\Enum]\r\n\"Count\"=dword:00000001\r\n"
           "\"0\"=\"USB\\\\Vid_5C7E&Pid_0011&Mi_01\\\\6&3\"\r\n"
           "[" + Enum + keyboard + "\\Device Parameters]\r\n"
           "[" + Enum + other + "\\Device Parameters]\r\n"
           "[" + Enum + mouse + "\\Device Parameters]\r\n");
    EXPECT_EQ(RunSilent(), 0u);
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Services\\i8042prt", "Start"), 4u);
    const std::string parameters = "\\Device Parameters";
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Enum\\" + keyboard + parameters, "WaitWakeEnabled"), 1u);
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Enum\\" + other + parameters, "WaitWakeEnabled"),
              0xDEADBEEFu);
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Enum\\" + mouse + parameters, "WaitWakeEnabled"), 1u);
    // A second run changes nothing more.
    EXPECT_EQ(RunSilent(), 0u);
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Services\\i8042prt", "Start"), 4u);
}

TEST_F(Envprep, NothingChangesWithoutTheDevicesOrWithAcpiOff)
{
    const std::string keyboard = "USB\\Vid_5C7E&Pid_0014&Mi_00\\6&1";
    Import("[" + Services + "i8042prt]\r\n\"Start\"=dword:00000001\r\n"
           "[" + Services + "ACPI]\r\n\"Start\"=dword:00000004\r\n"
           "[" + Services + "kbdhid\\Enum]\r\n\"Count\"=dword:00000000\r\n"
           "\"0\"=\"USB\\\\Vid_5C7E&Pid_0014&Mi_00\\\\6&1\"\r\n"
           "[" + Enum + keyboard + "\\Device Parameters]\r\n");
    EXPECT_EQ(RunSilent(), 0u);
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Services\\i8042prt", "Start"), 1u);
    EXPECT_EQ(ReadDword("SYSTEM\\CurrentControlSet\\Enum\\" + keyboard + "\\Device Parameters",
                        "WaitWakeEnabled"),
              0xDEADBEEFu);
}

TEST_F(Envprep, ApmIsEnabledAndItsKeyGetsTwoAccessEntries)
{
    const std::string device = "SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NTAPM\\0000";
    for (const char* flags : {"dword:00000001", "dword:00000000", ""}) {
        SCOPED_TRACE(flags);
        DeleteTree("SYSTEM\\CurrentControlSet\\Enum\\ROOT\\NTAPM");
        Import("[" + Services + "NtAPM]\r\n\"Start\"=dword:00000003\r\n[" + Enum +
               "ROOT\\NTAPM\\0000]\r\n" +
               (flags[0] ? std::string("\"ConfigFlags\"=") + flags + "\r\n" : std::string()));
        EXPECT_EQ(RunSilent(), 0u);
        EXPECT_EQ(ReadDword(device, "ConfigFlags"), 0u);
    }
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, device.c_str(), 0, READ_CONTROL, &key), ERROR_SUCCESS);
    char buffer[512];
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, buffer, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(buffer, &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl);
    ASSERT_EQ(acl->AceCount, 2);
    const struct {
        DWORD subAuthorities;
        DWORD last;
        ACCESS_MASK mask;
    } expected[] = {{1, 4, KEY_READ}, {2, 544, KEY_ALL_ACCESS}};
    for (int i = 0; i < 2; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Mask, expected[i].mask);
        PSID sid = &ace->SidStart;
        EXPECT_EQ(*GetSidSubAuthorityCount(sid), expected[i].subAuthorities);
        EXPECT_EQ(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1), expected[i].last);
    }
}

TEST_F(Envprep, ServicePackShortcutsAndPowerUtilityFilesGo)
{
    char profiles[MAX_PATH] = {};
    DWORD size = sizeof profiles;
    ASSERT_TRUE(GetProfilesDirectoryA(profiles, &size));
    const std::string base = std::string(profiles) + "\\QvKitProfile";
    RemoveTree(base);
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string menu = base + "\\Start Menu";
    const std::string keep = base + "\\Keep";
    CreateDirectoryA(menu.c_str(), nullptr);
    CreateDirectoryA(keep.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(menu + "\\Service Pack 4のｲﾝｽﾄｰﾙ.lnk", "l"));
    ASSERT_TRUE(WriteBytes(menu + "\\Service Pack 4について.lnk", "l"));
    ASSERT_TRUE(WriteBytes(keep + "\\Service Pack 4について.lnk", "l"));
    ASSERT_TRUE(WriteBytes(keep + "\\other.txt", "o"));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string system32 = std::string(windows) + "\\system32";
    for (const char* name : {"\\drivers\\zorvpm.sys", "\\zorvpm.exe", "\\zorvpm.cpl"})
        ASSERT_TRUE(WriteBytes(system32 + name, "x"));
    // The folder emptied by the deletion goes; the one still holding a file
    // stays and, coming from the second pattern, makes the step answer 16
    // (the exit code reports only the last step, the power utility's).
    EXPECT_EQ(RunSilent(), 0u);
    EXPECT_EQ(GetFileAttributesA(menu.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((keep + "\\Service Pack 4について.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((keep + "\\other.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    for (const char* name : {"\\drivers\\zorvpm.sys", "\\zorvpm.exe", "\\zorvpm.cpl"})
        EXPECT_EQ(GetFileAttributesA((system32 + name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_EQ(RunSilent(), 0u);
    RemoveTree(base);
}

} // namespace
