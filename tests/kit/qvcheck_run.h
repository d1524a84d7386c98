// qvcheck.exe of the build, run from a test, and what its lines say.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CheckRun {
    DWORD exitCode;
    std::vector<std::string> lines;
};

// qvcheck.exe with the command line text `arguments`, bounded in time.
CheckRun RunQvcheck(const std::string& arguments);

// The options that describe the test bench's Windows, as qvsetup sees it.
std::string BenchSystem();

// The exit code that a finding says an unattended run ends with at a
// command's turn, or -1 for a finding of another kind.
int RunTimeExitCode(const std::string& line);

// True for an error that stops qvsetup while it loads the media: one that
// quotes qvsetup's box and names no exit code of a command's turn.
bool IsLoadError(const std::string& line);
