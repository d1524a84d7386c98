// typescan.exe with our Biospeek.sys, loaded by Wine's real service control
// manager: real SMBIOS tables, the exit codes of the conditions, and the
// driver service removed after every run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"
#include "tests/kit/smbios_data.h"

namespace {

// A folder with TYPESCAN.EXE, Biospeek.sys and a Biospeek.dat.
class DriverRun : public testing::Test {
protected:
    void SetUp() override
    {
        // "表" ends in the byte 5C: the driver beside the program must still be found.
        base_ = MakeTempFolder("biospeek");
        folder_ = base_ + "\\表示";
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        ASSERT_TRUE(CopyFileA(BuildProgram("typescan.exe").c_str(), Path("TYPESCAN.EXE").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(BuildProgram("Biospeek.sys").c_str(), Path("Biospeek.sys").c_str(), FALSE));
    }
    void TearDown() override { RemoveTree(base_); }

    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

    DWORD Run(const std::string& arguments, std::string* output)
    {
        output->clear();
        const RunResult run = RunProgram("\"" + Path("TYPESCAN.EXE") + "\" " + arguments, 60000,
                                         nullptr, output);
        EXPECT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut);
        EXPECT_FALSE(ServiceExists("Biospeek")) << arguments;
        return run.exitCode;
    }

    std::string base_;
    std::string folder_;
};

TEST_F(DriverRun, RealTablesGiveTheirProductNameAndOemStrings)
{
    for (const SmbiosReading& table : SmbiosReadings()) {
        SCOPED_TRACE(table.file);
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\smbios-data\\" + table.file).c_str(),
                              Path("Biospeek.dat").c_str(), FALSE));
        std::string output;
        EXPECT_EQ(Run("/mode=0 /d", &output), 1u);
        EXPECT_EQ(output, Crlf(std::string("Type1=") + table.product + "\n"));
        for (size_t n = 0; n < table.oem.size(); ++n) {
            EXPECT_EQ(Run("/mode=1," + std::to_string(n) + " /d", &output), 1u);
            EXPECT_EQ(output, Crlf("Type11=" + table.oem[n] + "\n"));
        }
        if (table.oem.empty()) {
            EXPECT_EQ(Run("/mode=1,0 /d", &output), 0u);
            EXPECT_EQ(output.rfind("SMBIOS", 0), 0u);
        }
    }
}

// A raw table: type 1 with the product name, type 11 with OEM strings, end.
std::string Table(const std::string& product, const std::vector<std::string>& oem)
{
    std::string table("\x01\x08\x00\x01\x00\x01\x00\x00", 8);
    table += product + std::string(2, '\0');
    table += std::string("\x0B\x05\x01\x01", 4) + static_cast<char>(oem.size());
    for (const std::string& s : oem)
        table += s + '\0';
    table += '\0';
    table += std::string("\x7F\x04\x02\x01\x00\x00", 6);
    return table;
}

TEST_F(DriverRun, ConditionsAnswerByExitCode)
{
    const struct {
        const char* product;
        const char* arguments;
        DWORD exitCode;
    } cases[] = {
        {"PC-AB12CDEFGH", "/mode=0 /N=AB", 1},
        {"PC-AB12CDEFGH", "/mode=0 /CC=12", 1},
        {"PC-AB12CDEFGH", "/mode=0 /CT=C", 1},
        {"PC-AB12CDEFGH", "/mode=0 /N=XY,AB", 1},
        {"PC-AB12CDEFGH", "/mode=0 /N=AB /CC=99", 0},
        {"AB12CDEFGH", "/mode=0 /N=AB", 1},
        {"PC-AB", "/mode=0 /CC=12", 0},
        {"PC-AB", "/mode=0 /P15=X", 0},
        {"PC-AB12CDEFGH", "/mode=0 /INC=PC-AB", 1},
        {"PC-AB12CDEFGH", "/mode=0 /INC=AB12", 0},
        {"PC-AB12CDEFGH", "/mode=0 /ALL=PC-AB12CDEFGH", 1},
        {"PC-AB12", "/mode=0 /LIKE=PC-AB??", 1},
        {"PC-AB12", "/mode=0 /LIKE=PC-AB?", 0},
        {"ABAC", "/mode=0 /LIKE=*AC", 0},
        {"PC-AB12CDEFGH", "/mode=1,1 /INC=PC-XY", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.product) + " " + c.arguments);
        ASSERT_TRUE(WriteBytes(Path("Biospeek.dat"), Table(c.product, {"OEM zero", "PC-XY99"})));
        std::string output;
        EXPECT_EQ(Run(c.arguments, &output), c.exitCode);
        EXPECT_EQ(output, "");
    }
}

// Under /FAILCODES (first, before the mode) a wrong command line ends with
// 3 and its message, where without it every failure ends with 0; a match
// and a miss answer as they always do.
TEST_F(DriverRun, FailureCodesSetFailuresApartFromMisses)
{
    ASSERT_TRUE(WriteBytes(Path("Biospeek.dat"), Table("PC-AB12CDEFGH", {"x"})));
    const struct {
        const char* arguments;
        DWORD exitCode;
        DWORD withoutSwitch;
    } cases[] = {
        {"/mode=0 /N=AB", 1, 1},
        {"/mode=0 /N=XY", 0, 0},
        {"/mode=0 /d", 1, 1},
        {"/mode=0 /N=ABC", 3, 0},
        {"/mode=0", 3, 0},
        {"/mode=2 /N=AB", 3, 0},
        {"", 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::string plain, strict;
        EXPECT_EQ(Run(c.arguments, &plain), c.withoutSwitch);
        EXPECT_EQ(Run(std::string("/FAILCODES ") + c.arguments, &strict), c.exitCode);
        EXPECT_EQ(strict, plain);
    }
}

TEST_F(DriverRun, ConditionMessagesByteForByte)
{
    ASSERT_TRUE(WriteBytes(Path("Biospeek.dat"), Table("PC-AB12CDEFGH", {"x"})));
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"/mode=0", "比較条件オプションを指定してください。\n"},
        {"/mode=0 /N=ABC", "/N=ABCが不正です。\n比較文字数は2文字です。\n"},
        {"/mode=0 /n=AB", "/n=ABが不正です。\n指定されたオプションはありません\n"},
        {"/mode=0 /N=AB /N=CD", "/N=CDが不正です。\n２重に指定されています。\n"},
        {"/mode=0 /N=AB /ALL=x", "/ALLと他のオプションは同時に指定できません。\n"},
        {"/mode=0 /d /N=AB", "/dが不正です。\nオプションと比較文字列は=で区切って入力してください。\n"},
        {"/mode=0 /=AB /N=AB", "/=ABが不正です。/のあとに比較する位置を入力してください。\n"},
    };
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(Run(c.arguments, &output), 0u) << c.arguments;
        EXPECT_EQ(output, Crlf(c.message)) << c.arguments;
    }
}

// The table file that a test bench names (REG_SZ TableFile of
// HKLM\Software\Biospeek) wins when it holds a table; one that holds none,
// or a value of another type, is passed over for the file beside the driver.
TEST_F(DriverRun, ATableFileNamedByTheBenchWinsWhenItHoldsATable)
{
    ASSERT_TRUE(WriteBytes(Path("Biospeek.dat"), Table("PC-AB12", {})));
    ASSERT_TRUE(WriteBytes(Path("OTHER.DAT"), Table("PC-ZZ99", {})));
    ASSERT_TRUE(WriteBytes(Path("BROKEN.DAT"), "no table"));
    const struct {
        DWORD type;
        const char* file;
        const char* product;
    } cases[] = {
        {REG_SZ, "OTHER.DAT", "PC-ZZ99"},
        {REG_SZ, "BROKEN.DAT", "PC-AB12"},
        {REG_EXPAND_SZ, "OTHER.DAT", "PC-AB12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Biospeek", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::string path = Path(c.file);
        RegSetValueExA(key, "TableFile", 0, c.type, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
        std::string output;
        EXPECT_EQ(Run("/mode=0 /d", &output), 1u);
        EXPECT_EQ(output, Crlf(std::string("Type1=") + c.product + "\n"));
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Biospeek");
}

// A service left registered by an earlier run, running or stopped (a run
// ended between creating and starting it): this run fails as it must, and
// removes the service, so that the next run succeeds.
TEST_F(DriverRun, AServiceLeftRegisteredIsRemovedForTheNextRun)
{
    ASSERT_TRUE(WriteBytes(Path("Biospeek.dat"), Table("PC-AB12", {"x"})));
    for (const bool running : {true, false}) {
        SCOPED_TRACE(running ? "running" : "stopped");
        SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(manager, nullptr);
        SC_HANDLE service = CreateServiceA(manager, "Biospeek", "Biospeek", SERVICE_ALL_ACCESS,
                                           SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                           SERVICE_ERROR_NORMAL, Path("Biospeek.sys").c_str(),
                                           nullptr, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(service, nullptr);
        if (running) {
            EXPECT_TRUE(StartServiceA(service, 0, nullptr));
        }
        CloseServiceHandle(service);
        CloseServiceHandle(manager);

        std::string output;
        EXPECT_EQ(Run("/mode=0 /d", &output), 0u);
        EXPECT_EQ(output.rfind("SMBIOS", 0), 0u);
        EXPECT_EQ(Run("/mode=0 /d", &output), 1u);
        EXPECT_EQ(output, Crlf("Type1=PC-AB12\n"));
    }
}

} // namespace
