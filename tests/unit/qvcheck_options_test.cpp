// qvcheck's command line: the described system, the plan's choice, the
// mistakes.
#include <gtest/gtest.h>

#include "qvcheck/options.h"

namespace {

CheckOptions Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "qvcheck");
    return ParseCheckOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(QvcheckOptions, SystemFoldersLettersAndMistakes)
{
    CheckOptions options = Parse({"/os=98", "/windir=D:\\WIN", "/cdrom=q", "/user", "/plan",
                                  "/select=QVA.INF,qvb.inf", "MEDIA", "DISC2"});
    EXPECT_EQ(options.usageError, "");
    EXPECT_EQ(options.system.windowsDir, "D:\\WIN");
    EXPECT_EQ(options.system.systemDir, "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(options.system.programFilesDir, "D:\\Program Files");
    EXPECT_EQ(options.system.cdromLetter, 'Q');
    EXPECT_FALSE(options.system.isAdmin);
    EXPECT_TRUE(options.plan && options.select == SelectAnswer::Names);
    EXPECT_EQ(options.selectNames, "QVA.INF,qvb.inf");
    EXPECT_EQ(options.folders, (std::vector<std::string>{"MEDIA", "DISC2"}));
    options = Parse({"MEDIA"});
    EXPECT_EQ(options.system.windowsDir, "C:\\WINNT");
    EXPECT_TRUE(options.system.isAdmin);
    EXPECT_EQ(options.select, SelectAnswer::Default);
    // /select takes what an answer file's Select takes.
    EXPECT_EQ(Parse({"/select=all", "M"}).select, SelectAnswer::All);
    EXPECT_EQ(Parse({"/select=NONE", "M"}).select, SelectAnswer::Nothing);
    for (const auto& wrong : std::vector<std::vector<const char*>>{
             {}, {"/os=95", "M"}, {"/cdrom=DE", "M"}, {"/windir=WIN", "M"}, {"/nope", "M"},
             {"/select=", "M"}, {"/select=QVA.INF,", "M"}}) {
        EXPECT_NE(Parse(wrong).usageError, "");
    }
    EXPECT_TRUE(Parse({"/?"}).help);
}

} // namespace
