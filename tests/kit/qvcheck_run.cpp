#include "tests/kit/qvcheck_run.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/kit/bench.h"
#include "tests/kit/setup_run.h"

namespace {

constexpr DWORD CheckBoundMs = 60000;

} // namespace

CheckRun RunQvcheck(const std::string& arguments)
{
    std::string output;
    const std::string commandLine = "\"" + BuildProgram("qvcheck.exe") + "\" " + arguments;
    RunResult run = RunProgram(commandLine, CheckBoundMs, nullptr, &output);
    // On a loaded bench Wine has now and then refused to start the program at
    // all: qvcheck never ran, so it is started once more before that counts.
    if (!run.started) {
        Sleep(1000);
        output.clear();
        run = RunProgram(commandLine, CheckBoundMs, nullptr, &output);
    }
    EXPECT_TRUE(run.started && !run.timedOut);
    return CheckRun{run.exitCode, TextLines(output)};
}

std::string BenchSystem()
{
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    return std::string("/windir=") + windows + " /sysdir=" + system;
}

int RunTimeExitCode(const std::string& line)
{
    const std::string said = "(unattended: exit code ";
    const size_t at = line.find(said);
    return at == std::string::npos ? -1 : atoi(line.c_str() + at + said.size());
}

bool IsLoadError(const std::string& line)
{
    return line.find(": error: ") != std::string::npos && line.find(" (qvsetup: \"") != std::string::npos &&
           RunTimeExitCode(line) < 0;
}
