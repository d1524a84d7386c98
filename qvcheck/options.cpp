// qvcheck's command line.
#include "qvcheck/options.h"

#include <cstring>

#include "setup/core/dbcs.h"
#include "setup/core/inf_line.h"

namespace {

const DescribedSystem Windows2000 = {"Windows 2000", "C:\\WINNT", "C:\\WINNT\\system32",
                                     "C:\\Program Files", 'D', 'A', 'C', true, true};
const DescribedSystem Windows98 = {"Windows 98", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM",
                                   "C:\\Program Files", 'D', 'A', 'C', true, false};
const DescribedSystem WindowsXp = {"Windows XP", "C:\\WINDOWS", "C:\\WINDOWS\\system32",
                                   "C:\\Program Files", 'D', 'A', 'C', true, true};

// The value of "/name=value" when `argument` is that option (any case).
bool OptionValue(const std::string& argument, const char* name, std::string* value)
{
    const std::string prefix = std::string("/") + name + "=";
    if (argument.size() < prefix.size() || !SameName(argument.substr(0, prefix.size()), prefix))
        return false;
    *value = argument.substr(prefix.size());
    return true;
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A drive letter option: one letter, kept in upper case.
bool ReadLetter(const std::string& value, char* letter)
{
    if (value.size() != 1 || !IsLetter(value[0]))
        return false;
    *letter = static_cast<char>(value[0] & ~0x20);
    return true;
}

// A folder of the described system: a drive letter, a colon and a path.
// (The byte after the colon starts a character, so it is a backslash only
// when it is one.)
bool IsDrivePath(const std::string& value)
{
    return value.size() >= 3 && IsLetter(value[0]) && value[1] == ':' && value[2] == '\\';
}

// A folder as qvsetup names it: "R:\" is "R:", "R:\SETUP\" is "R:\SETUP".
std::string WithoutClosingBackslash(const std::string& folder)
{
    const char* last = FindLastBackslash(folder.c_str());
    const bool closing = last && static_cast<size_t>(last - folder.c_str()) + 1 == folder.size();
    return closing ? folder.substr(0, folder.size() - 1) : folder;
}

// Applies one option to `options`; false with the usage error set.
bool ApplyOption(const std::string& argument, CheckOptions& options, bool& programFilesGiven)
{
    DescribedSystem& system = options.system;
    std::string value;
    if (SameName(argument, "/plan")) {
        options.plan = true;
    } else if (SameName(argument, "/user")) {
        system.isAdmin = false;
    } else if (OptionValue(argument, "select", &value)) {
        // The values of an answer file's Select, read by its own rules.
        Answers chosen;
        SetDefaultAnswers(&chosen);
        if (ApplyAnswer("Select", value.c_str(), &chosen) != AnswerFault::None) {
            options.usageError = "/select takes ALL, DEFAULT, NONE or INF file names separated by commas, not " +
                                 value;
            return false;
        }
        options.select = chosen.select;
        options.selectNames = chosen.selectNames;
    } else if (OptionValue(argument, "disc", &value) && IsDrivePath(value)) {
        options.discFolder = WithoutClosingBackslash(value);
    } else if (OptionValue(argument, "windir", &value) && IsDrivePath(value)) {
        system.windowsDir = value;
    } else if (OptionValue(argument, "sysdir", &value) && IsDrivePath(value)) {
        system.systemDir = value;
    } else if (OptionValue(argument, "programfiles", &value) && IsDrivePath(value)) {
        system.programFilesDir = value;
        programFilesGiven = true;
    } else if (!(OptionValue(argument, "cdrom", &value) && ReadLetter(value, &system.cdromLetter)) &&
               !(OptionValue(argument, "fd", &value) && ReadLetter(value, &system.fdLetter)) &&
               !(OptionValue(argument, "boot", &value) && ReadLetter(value, &system.bootLetter))) {
        options.usageError = "unknown or malformed option " + argument;
        return false;
    }
    return true;
}

// The system that /os names first, so that the other options change it.
bool ChooseSystem(int argc, const char* const argv[], CheckOptions& options)
{
    options.system = Windows2000;
    for (int i = 1; i < argc; ++i) {
        std::string value;
        if (!OptionValue(argv[i], "os", &value))
            continue;
        if (value == "98")
            options.system = Windows98;
        else if (value == "2000")
            options.system = Windows2000;
        else if (SameName(value, "xp"))
            options.system = WindowsXp;
        else {
            options.usageError = "/os takes 98, 2000 or xp, not " + value;
            return false;
        }
    }
    return true;
}

} // namespace

const DescribedSystem& Windows2000System()
{
    return Windows2000;
}

const DescribedSystem& Windows98System()
{
    return Windows98;
}

CheckOptions ParseCheckOptions(int argc, const char* const argv[])
{
    CheckOptions options;
    if (!ChooseSystem(argc, argv, options))
        return options;
    bool programFilesGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        std::string value;
        if (argument == "/?" || SameName(argument, "/help")) {
            options.help = true;
        } else if (OptionValue(argument, "os", &value)) {
            continue;
        } else if (OptionValue(argument, "answers", &value)) {
            options.answersFile = value;
        } else if (OptionValue(argument, "smbios", &value) && !value.empty()) {
            options.smbiosDump = value;
        } else if (SameName(argument, "/smbios") && i + 1 < argc) {
            options.smbiosDump = argv[++i];
        } else if (SameName(argument, "/answers") && i + 1 < argc) {
            options.answersFile = argv[++i];
        } else if (OptionValue(argument, "format", &value)) {
            if (!SameName(value, "sarif") && !SameName(value, "text")) {
                options.usageError = "/format= takes text or sarif: " + value;
                return options;
            }
            options.sarif = SameName(value, "sarif");
        } else if (!argument.empty() && argument[0] == '/') {
            if (!ApplyOption(argument, options, programFilesGiven))
                return options;
        } else {
            options.folders.push_back(argument);
        }
    }
    if (!programFilesGiven)
        options.system.programFilesDir = std::string(1, options.system.windowsDir[0]) + ":\\Program Files";
    if (options.discFolder.empty())
        options.discFolder = std::string(1, options.system.cdromLetter) + ":";
    if (options.folders.empty() && !options.help)
        options.usageError = "no media folder given";
    return options;
}

const char* CheckUsageText()
{
    return "qvcheck: checks the INF scripts of installation media for qvsetup.\n"
           "\n"
           "qvcheck [options] MEDIA_FOLDER [FOLDER_OF_ANOTHER_DISC ...]\n"
           "\n"
           "  Reports every problem, one line each (COLUMN counts characters):\n"
           "    PATH:LINE:COLUMN: error: TEXT    qvsetup stops loading, or the run ends there\n"
           "                                     whatever the target PC holds\n"
           "    PATH:LINE:COLUMN: warning: TEXT  qvsetup ignores it, or it may fail at its turn\n"
           "  A line for an error box ends with (qvsetup: \"MESSAGE\"), the box's text\n"
           "  with its line feeds written as \\n.\n"
           "\n"
           "Options:\n"
           "  /plan                 print the commands in the order qvsetup runs them\n"
           "  /select=A.INF,B.INF   the applications chosen for /plan, as an answer\n"
           "                        file's Select takes them: names, ALL, NONE or\n"
           "                        DEFAULT (the selection the dialog starts with)\n"
           "  /answers FILE         checks an answer file of unattended runs against the\n"
           "                        media; with /plan, plans its selection and marks\n"
           "                        where an unattended run waits or ends\n"
           "  /smbios DUMP          the model of the machine whose SMBIOS table DUMP holds\n"
           "                        (as tools/try-media --smbios takes it): applications\n"
           "                        whose MODEL does not match it are not offered\n"
           "  /os=2000|98|xp        the described system (default 2000: C:\\WINNT,\n"
           "                        C:\\WINNT\\system32; 98: C:\\WINDOWS, C:\\WINDOWS\\SYSTEM;\n"
           "                        xp: C:\\WINDOWS, C:\\WINDOWS\\system32)\n"
           "  /windir=PATH  /sysdir=PATH  /programfiles=PATH\n"
           "                        its folders (Program Files: on the Windows drive)\n"
           "  /cdrom=D  /fd=A  /boot=C\n"
           "                        its drive letters\n"
           "  /user                 the user is no administrator\n"
           "  /disc=R:\\SETUP        where the media folder stands when qvsetup runs: the\n"
           "                        limits of 259 bytes are judged there (default: the\n"
           "                        root of the CD-ROM drive, as /cdrom= names it)\n"
           "  /format=sarif         the findings as a SARIF 2.1.0 log (JSON) instead\n"
           "  /?                    this text\n"
           "\n"
           "Exit codes:\n"
           "  0  no problem\n"
           "  1  warnings only\n"
           "  2  errors\n"
           "  3  wrong usage\n"
           "  4  qvcheck itself failed (out of memory, or an internal fault): the check is\n"
           "     not complete\n";
}
