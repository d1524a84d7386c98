// What a path names that a Windows lacks or keeps elsewhere, as qvcheck
// warns and a trial under another Windows version is told.
#include <gtest/gtest.h>

#include "setup/core/system_folders.h"

namespace {

ForeignPath Find(const std::string& text, const char* windowsDir, bool ntFamily, std::string* named = nullptr)
{
    std::string found;
    const ForeignPath fault = FindForeignPath(text, windowsDir, ntFamily, true, &found);
    if (named)
        *named = found;
    return fault;
}

TEST(SystemFolders, PathsThatAWindowsLacks)
{
    std::string named;
    // Windows 98: its folder, SYSTEM, COMMAND.COM.
    EXPECT_EQ(Find("C:\\windows\\system32\\cmd.exe /c exit 0", "C:\\WINDOWS", false, &named), ForeignPath::NoCmdExe);
    EXPECT_EQ(named, "cmd.exe");
    EXPECT_EQ(Find("\"cmd\" /c copy a b", "C:\\WINDOWS", false), ForeignPath::NoCmdExe);
    EXPECT_EQ(Find("C:\\WINDOWS\\SYSTEM32\\X.DLL", "C:\\WINDOWS", false, &named), ForeignPath::NoSystem32);
    EXPECT_EQ(named, "C:\\WINDOWS\\SYSTEM32");
    // WDM drivers have SYSTEM32\DRIVERS on Windows 98; a folder CMD is no cmd.exe.
    EXPECT_EQ(Find("C:\\WINDOWS\\SYSTEM32\\DRIVERS\\X.SYS", "C:\\WINDOWS", false), ForeignPath::None);
    EXPECT_EQ(Find("C:\\TOOLS\\CMD\\SETUP.EXE", "C:\\WINDOWS", false), ForeignPath::None);
    EXPECT_EQ(Find("C:\\WINDOWS\\NOTEPAD.EXE", "C:\\WINDOWS\\", false), ForeignPath::None);
    EXPECT_EQ(Find("C:\\WINNT\\NOTEPAD.EXE", "C:\\WINDOWS", false, &named), ForeignPath::OtherWindowsFolder);
    EXPECT_EQ(named, "C:\\WINNT");
    EXPECT_EQ(Find("C:\\WINDOWS\\SYSTEM\\COMMAND.COM /c x", "C:\\WINDOWS", false), ForeignPath::None);
    EXPECT_EQ(Find("C:\\TOOLS\\CMDX.EXE", "C:\\WINDOWS", false), ForeignPath::None);
    EXPECT_EQ(Find("C:\\WINDOWSX\\A.TXT", "C:\\WINDOWS", false), ForeignPath::None);
    // The NT family: cmd.exe and system32 are there; the folder is its own.
    EXPECT_EQ(Find("C:\\windows\\system32\\cmd.exe /c exit 0", "C:\\WINNT", true), ForeignPath::OtherWindowsFolder);
    EXPECT_EQ(Find("C:\\WINNT\\system32\\cmd.exe /c exit 0", "C:\\WINNT", true), ForeignPath::None);
    EXPECT_EQ(Find("C:\\Windows\\Fonts", "C:\\WINDOWS", true), ForeignPath::None);
    // No name is found across a double-byte character (ﾅ is no lead byte;
    // 表 is 95 5C, whose second byte is the backslash byte).
    EXPECT_EQ(Find("C:\\\x95\x5C" "CMD.EXE", "C:\\WINDOWS", false), ForeignPath::None);
}

} // namespace
