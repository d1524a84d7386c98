// envprep's steps called inside the test process, where their step codes
// can be seen: the shortcut walk and the device-path bounds.
#include <gtest/gtest.h>

#include <string>

#include "envprep/steps.h"
#include "tests/kit/bench.h"

namespace {

TEST(DeleteMatchingInTree, RemovesEmptiedFoldersAndReportsOneThatStays)
{
    const std::string root = MakeTempFolder("profiles");
    CreateDirectoryA((root + "\\A").c_str(), nullptr);
    CreateDirectoryA((root + "\\A\\Deep").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(root + "\\A\\Deep\\Service Pack 4について.lnk", "l"));
    ASSERT_TRUE(WriteBytes(root + "\\A\\Deep\\Service Pack 6について.lnk", "l"));
    EXPECT_EQ(DeleteMatchingInTree(root.c_str(), "\\Service Pack ?について.lnk", true), 0);
    EXPECT_EQ(GetFileAttributesA((root + "\\A\\Deep").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesA((root + "\\A").c_str()), INVALID_FILE_ATTRIBUTES);

    // A shortcut directly in the walked folder: the folder still holds others.
    ASSERT_TRUE(WriteBytes(root + "\\Service Pack 4について.lnk", "l"));
    EXPECT_EQ(DeleteMatchingInTree(root.c_str(), "\\Service Pack ?について.lnk", true), 16);
    EXPECT_EQ(DeleteMatchingInTree((root + "\\NoSuch").c_str(), "\\x", true), 14);
    // Without a match nothing is removed.
    EXPECT_EQ(DeleteMatchingInTree(root.c_str(), "\\Service Pack ?について.lnk", true), 0);
    EXPECT_NE(GetFileAttributesA((root + "\\A").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveTree(root);
}

TEST(EnableUsbKeyboardWake, ADevicePathOfAnyLengthIsAFailedReadNotAnOverrun)
{
    const std::string services = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\";
    ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n[" + services + "ACPI]\r\n\"Start\"=dword:00000000\r\n[" +
                               services + "kbdhid\\Enum]\r\n\"Count\"=dword:00000002\r\n\"0\"=\"" +
                               std::string(5000, 'A') + "\"\r\n\"1\"=\"USB\\\\Vid_5C7E&Pid_0014&Mi_00\\\\" +
                               std::string(50, 'B') + "\"\r\n"));
    // Value 0 does not fit its buffer (5); value 1 fits but names no key (6).
    EXPECT_EQ(EnableUsbKeyboardWake(), 6);
    ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n[" + services + "kbdhid\\Enum]\r\n\"Count\"=dword:00000001\r\n"));
    EXPECT_EQ(EnableUsbKeyboardWake(), 5);
    ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n[-" + services + "kbdhid]\r\n[-" + services + "ACPI]\r\n"));
}

// Only the indices that have a value are visited, and the code is the one a
// visit of every index below Count gives: a missing index is a failed read,
// and the last failure wins. A damaged Count of 0xFFFFFFFF ends at once.
TEST(EnableUsbKeyboardWake, CountVisitsOnlyTheValuesThatExist)
{
    const std::string machine = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\";
    const std::string device = "USB\\Vid_5C7E&Pid_0014&Mi_00\\7&1";
    const std::string wakeKey = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_5C7E&Pid_0014&Mi_00\\7&1\\Device Parameters";
    const std::string maker = "\"USB\\\\Vid_5C7E&Pid_0014&Mi_00\\\\7&1\"";
    const std::string stranger = "\"USB\\\\Vid_1234&Pid_0001\\\\1\"";
    const std::string noKey = "\"USB\\\\Vid_5C7E&Pid_0011&Mi_00\\\\none\"";
    const struct {
        const char* count;
        std::string values;  // "name"=data lines
        int code;
    } cases[] = {
        {"ffffffff", "\"0\"=" + maker + "\r\n", StepKeyboardIdUnread},
        {"00000002", "\"0\"=" + maker + "\r\n\"1\"=" + stranger + "\r\n", StepDone},
        // 0 fails its key, 1 is missing, 2 is fine: the missing index was last to fail.
        {"00000003", "\"0\"=" + noKey + "\r\n\"2\"=" + maker + "\r\n", StepKeyboardIdUnread},
        // Names that no "%lu" of an index writes, and indices past Count, are not read.
        {"00000002", "\"0\"=" + maker + "\r\n\"1\"=" + noKey + "\r\n\"01\"=" + maker +
                         "\r\n\"7\"=" + maker + "\r\n", StepKeyboardEnumUnopened},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count + (" " + c.values));
        ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n[-" + machine + "Services\\kbdhid]\r\n[" +
                                   machine + "Services\\ACPI]\r\n\"Start\"=dword:00000000\r\n[" +
                                   machine + "Services\\kbdhid\\Enum]\r\n\"Count\"=dword:" + c.count +
                                   "\r\n" + c.values + "[" + machine + "Enum\\" + device +
                                   "\\Device Parameters]\r\n\"WaitWakeEnabled\"=dword:00000000\r\n"));
        const DWORD start = GetTickCount();
        EXPECT_EQ(EnableUsbKeyboardWake(), c.code);
        EXPECT_LT(GetTickCount() - start, 1000u);
        DWORD type = 0;
        std::string wake;
        ASSERT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, wakeKey.c_str(), "WaitWakeEnabled", &type, &wake));
        EXPECT_EQ(wake, std::string("\x01\0\0\0", 4));
    }
    ASSERT_TRUE(ImportRegistry("REGEDIT4\r\n\r\n[-" + machine + "Services\\kbdhid]\r\n[-" + machine +
                               "Services\\ACPI]\r\n[-" + machine + "Enum\\USB\\Vid_5C7E&Pid_0014&Mi_00]\r\n"));
}

} // namespace
