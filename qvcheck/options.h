// qvcheck's command line: the media folders, the described system and the
// plan's selection. No platform calls.
#pragma once

#include <string>
#include <vector>

#include "setup/core/answer_file.h"

// The Windows system the scripts are checked for: the folders and drive
// letters behind the macros, and whether the user is an administrator.
struct DescribedSystem {
    std::string name;             // "Windows 2000" or "Windows 98"
    std::string windowsDir;
    std::string systemDir;
    std::string programFilesDir;
    char cdromLetter;
    char fdLetter;
    char bootLetter;
    bool isAdmin;
    bool ntFamily;
};

// The typical systems: Windows 2000 (the default) and Windows 98.
const DescribedSystem& Windows2000System();
const DescribedSystem& Windows98System();

struct CheckOptions {
    std::vector<std::string> folders;   // the media folder, then further discs
    std::string discFolder;             // where the media folder stands on the disc ("D:")
    DescribedSystem system;
    bool plan = false;                  // /plan
    SelectAnswer select = SelectAnswer::Default;   // /select=, as an answer file's Select
    std::string selectNames;            // with SelectAnswer::Names: the comma list as given
    std::string answersFile;            // /answers FILE: an answer file for unattended runs
    std::string smbiosDump;             // /smbios=DUMP: the model, for the MODEL of applications
    bool sarif = false;                 // /format=sarif: the findings as a SARIF 2.1.0 log
    bool help = false;                  // /?
    std::string usageError;             // not empty: the command line is wrong
};

CheckOptions ParseCheckOptions(int argc, const char* const argv[]);

const char* CheckUsageText();
