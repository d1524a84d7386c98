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

} // namespace
