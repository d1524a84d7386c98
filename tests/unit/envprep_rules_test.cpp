// envprep's command-line scan, device ids and drives.
#include <gtest/gtest.h>

#include "envprep/envprep_rules.h"

namespace {

TEST(HasSilentSwitch, WholeWordCaseSensitive)
{
    EXPECT_TRUE(HasSilentSwitch("/silent"));
    EXPECT_TRUE(HasSilentSwitch("/a /silent"));
    EXPECT_TRUE(HasSilentSwitch("/silent /a"));
    EXPECT_TRUE(HasSilentSwitch("x//silent"));
    EXPECT_FALSE(HasSilentSwitch("/silentx"));
    EXPECT_FALSE(HasSilentSwitch("/SILENT"));
    EXPECT_FALSE(HasSilentSwitch("silent"));
    EXPECT_FALSE(HasSilentSwitch("/silent\t"));
    EXPECT_FALSE(HasSilentSwitch(""));
}

TEST(MakerDevices, FragmentsAreCaseSensitive)
{
    EXPECT_TRUE(IsMakerKeyboard("USB\\Vid_5C7E&Pid_004f&Mi_00\\6&1"));
    EXPECT_FALSE(IsMakerKeyboard("USB\\Vid_5C7E&Pid_004F&Mi_00\\6&1"));
    EXPECT_FALSE(IsMakerKeyboard("USB\\Vid_5C7E&Pid_0014&Mi_01\\6&1"));
    EXPECT_TRUE(IsMakerMouse("USB\\Vid_5C7E&Pid_0014&Mi_01\\6&1"));
    EXPECT_TRUE(IsMakerMouse("Vid_5C7E&Pid_003f&Mi_01"));
    EXPECT_FALSE(IsMakerMouse("USB\\Vid_5C7E&Pid_0012&Mi_01"));
}

TEST(DriveOf, DriveLetterAndColonOnly)
{
    EXPECT_EQ(DriveOf("C:\\Documents and Settings"), "C:");
    EXPECT_EQ(DriveOf("d:"), "d:");
    EXPECT_EQ(DriveOf("\\\\server\\share"), "");
    EXPECT_EQ(DriveOf("C"), "");
    EXPECT_EQ(DriveOf(""), "");
}

} // namespace
