// typescan.exe as installation scripts meet it: its texts byte for byte in
// CP932, its exit codes, and no driver service left behind.
#include <gtest/gtest.h>

#include <string>

#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"

namespace {

const std::string SmbiosMessage = Crlf(
    "SMBIOSから情報が取得できませんでした。\nTYPESCAN.EXEと同じパスにBIOSPEEK.SYSがあるか確認してください。\n");

class TypescanCli : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = MakeTempFolder("typescan");
        ASSERT_TRUE(CopyFileA(BuildProgram("typescan.exe").c_str(),
                              (folder_ + "\\TYPESCAN.EXE").c_str(), FALSE));
    }
    void TearDown() override { RemoveTree(folder_); }

    // Runs TYPESCAN.EXE with `arguments`; answers its exit code.
    DWORD Run(const std::string& arguments, std::string* output)
    {
        output->clear();
        const RunResult run =
            RunProgram("\"" + folder_ + "\\TYPESCAN.EXE\" " + arguments, 60000, nullptr, output);
        EXPECT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        return run.exitCode;
    }

    std::string folder_;
};

TEST_F(TypescanCli, UsageAndModeMessages)
{
    std::string output;
    EXPECT_EQ(Run("", &output), 0u);
    EXPECT_EQ(output.rfind(Crlf("TYPESCAN [options] [PRODUCT 検索条件]\n    - options -\n"), 0), 0u);
    EXPECT_NE(output.find(Crlf("\n　　 　　/mode=1,0\n")), std::string::npos);
    const std::string lastLine = Crlf("\n    /Pn=X[,X,X...]     構成型番\n");
    EXPECT_EQ(output.substr(output.size() - lastLine.size()), lastLine);
    std::string usage;
    EXPECT_EQ(Run("/?", &usage), 0u);
    EXPECT_EQ(usage, output);

    EXPECT_EQ(Run("/mode=2 /d", &output), 0u);
    EXPECT_EQ(output, Crlf("/mode=2が不正です。\n/modeオプションがないか書式が不正です。\n"));
    EXPECT_EQ(Run("/mode=1,10 /d", &output), 0u);
    EXPECT_EQ(output, Crlf("/mode=1,10が不正です。\n/mode=1,?の?は数字1桁で指定してください。"));
}

TEST_F(TypescanCli, WithoutTheDriverTheReadFailsAndNoServiceStays)
{
    std::string output;
    for (const char* arguments : {"/mode=0 /d", "/mode=1,0 /N=AB", "/mode=0 /N=ABC"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(Run(arguments, &output), 0u);
        // The read comes first: a malformed condition is never looked at.
        EXPECT_EQ(output, SmbiosMessage);
        EXPECT_FALSE(ServiceExists("Biospeek"));
        // Asked for failure codes, a model that could not be read is no "not this model".
        EXPECT_EQ(Run(std::string("/failcodes ") + arguments, &output), 2u);
        EXPECT_EQ(output, SmbiosMessage);
    }
}

TEST_F(TypescanCli, Windows9xOpensTheVxdAndRegistersNoService)
{
    ASSERT_TRUE(SetWindowsVersion("TYPESCAN.EXE", "win98"));
    ASSERT_TRUE(CopyFileA(BuildProgram("Biospeek.sys").c_str(), (folder_ + "\\Biospeek.sys").c_str(),
                          FALSE));
    std::string output;
    // No VxD under Wine: the read fails, and no service was ever made.
    EXPECT_EQ(Run("/mode=0 /d", &output), 0u);
    EXPECT_EQ(output, SmbiosMessage);
    EXPECT_FALSE(ServiceExists("Biospeek"));
    SetWindowsVersion("TYPESCAN.EXE", nullptr);
}

} // namespace
