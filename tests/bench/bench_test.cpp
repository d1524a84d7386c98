// The Wine test bench itself: code page, drive letters, per-program Windows
// version, registry import.
#include <gtest/gtest.h>

#include "tests/kit/bench.h"

namespace {

TEST(Bench, AnsiCodePageIs932)
{
    EXPECT_EQ(GetACP(), 932u);
    // "表" in CP932 is 95 5C: the compiler turned the literal into CP932 bytes.
    EXPECT_EQ(std::string("表"), std::string("\x95\x5C"));
}

TEST(Bench, MappedDrivesHaveTheirTypeAndFolder)
{
    const std::string folder = MakeTempFolder("drive");
    ASSERT_TRUE(WriteBytes(folder + "\\probe.txt", "x"));
    const struct {
        UINT type;
    } cases[] = {{DRIVE_CDROM}, {DRIVE_REMOTE}, {DRIVE_REMOVABLE}};
    for (const auto& c : cases) {
        ASSERT_TRUE(MapDrive('Q', folder, c.type));
        EXPECT_EQ(GetDriveTypeA("Q:\\"), c.type);
        EXPECT_EQ(ReadBytes("Q:\\probe.txt"), "x");
    }
    ASSERT_TRUE(UnmapDrive('Q'));
    EXPECT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    RemoveTree(folder);
}

TEST(Bench, WindowsVersionIsSetForOneProgramOnly)
{
    const std::string probe = ProgramFolder() + "\\" VERSION_PROBE_EXE;
    const struct {
        const char* version;
        DWORD answer;
    } cases[] = {
        {"win98", 10410},
        {"nt40", 20400},
        {"win2k", 20500},
        {"winxp", 20501},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SetWindowsVersion(VERSION_PROBE_EXE, c.version));
        const RunResult run = RunProgram("\"" + probe + "\"", 30000);
        ASSERT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, c.answer) << c.version;
    }
    ASSERT_TRUE(SetWindowsVersion(VERSION_PROBE_EXE, nullptr));

    OSVERSIONINFOA own = {};
    own.dwOSVersionInfoSize = sizeof own;
    ASSERT_TRUE(GetVersionExA(&own));
    EXPECT_EQ(own.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_GE(own.dwMajorVersion, 6u);
}

TEST(Bench, RegistryImportWritesCp932Values)
{
    ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\QvKitBench]\r\n"
                               "\"Name\"=\"ｾｯﾄｱｯﾌﾟ表示\"\r\n"
                               "\"Flags\"=dword:00000001\r\n"));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, "Software\\QvKitBench", "Name", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("ｾｯﾄｱｯﾌﾟ表示", sizeof "ｾｯﾄｱｯﾌﾟ表示"));
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, "Software\\QvKitBench", "Flags", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, std::string("\x01\0\0\0", 4));
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QvKitBench");
}

} // namespace
