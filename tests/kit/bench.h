// Helpers for tests that run under Wine: folders and files, drive letters,
// the Windows version of one program, registry imports, child processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A new empty folder under %TEMP% whose name starts with `tag`.
std::string MakeTempFolder(const char* tag);

// Removes a folder with everything in it (attributes cleared first).
void RemoveTree(const std::string& folder);

// Makes the folders of `path` below its first `kept` bytes (an existing
// folder), parent first; double-byte aware ("表" is 95 5C).
void MakeParentFolders(const std::string& path, size_t kept);

bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// Every file below `folder` with its read-only attribute, as "SUB\NAME: R"
// (or ": -"), in the order the folder is listed.
std::vector<std::string> FileTree(const std::string& folder);

// The lines of a text, CR LF or LF, without their line ends.
std::vector<std::string> TextLines(const std::string& text);

// The folder of the running test program, where the build puts its helpers.
std::string ProgramFolder();

// Points drive `letter` at `folder` with the given type (DRIVE_CDROM,
// DRIVE_REMOTE, DRIVE_REMOVABLE, DRIVE_FIXED), as Wine's configuration tool
// does through the mount manager; UnmapDrive takes the letter away again.
bool MapDrive(char letter, const std::string& folder, UINT driveType);
// The same for a folder given by its Unix path, which no drive of the
// prefix needs to reach.
bool MapUnixDrive(char letter, const std::string& unixPath, UINT driveType);
bool UnmapDrive(char letter);

// Makes Wine report `version` ("win98", "nt40", "win2k", "winxp") to the
// program `exeName` alone; null removes the setting.
bool SetWindowsVersion(const char* exeName, const char* version);

// Imports REGEDIT4 text (CP932) with regedit.
bool ImportRegistry(const std::string& regText);

// The raw data of a registry value; false when the key or value is missing.
bool ReadRegistryValue(HKEY root, const char* keyPath, const char* name, DWORD* type,
                       std::string* data);

// True when a service of that name is registered.
bool ServiceExists(const char* name);

// `text` with every line feed written as CR LF, as a console program's
// text-mode standard output writes it.
std::string Crlf(const std::string& text);

struct RunResult {
    bool started;
    bool timedOut; // the program was killed after the time limit
    DWORD exitCode;
    DWORD processId;
};

// Runs a command line and waits at most `timeoutMs` for it to end; with
// `output`, what it writes to standard output and error is collected there.
RunResult RunProgram(const std::string& commandLine, DWORD timeoutMs,
                     const char* directory = nullptr, std::string* output = nullptr);
