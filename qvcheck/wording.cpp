// The wording of qvcheck's findings.
#include "qvcheck/wording.h"

#include <cstdio>

#include "qvcheck/report.h"
#include "setup/core/records.h"
#include "setup/core/run_end.h"

namespace say {

namespace {

// What a fault of an answer file means for the run.
const std::string NothingRuns =
    ": an unattended run ends at once with exit code " + std::to_string(EndBadAnswers) +
    ", and nothing runs";

const char* const FieldNames[CommandFields] = {"the command keyword", "the first parameter",
                                               "the second parameter", "the drive-check key"};

// "; did you mean X?" for the nearest of `known`, or ": qvsetup ignores it".
std::string Hint(const std::string& name, const std::vector<std::string>& known,
                 const std::string& prefix = std::string(), const std::string& suffix = std::string())
{
    const std::string nearest = NearestWord(name, known);
    return nearest.empty() ? ": qvsetup ignores it"
                           : "; did you mean " + prefix + nearest + suffix + "?";
}

std::string KeywordList()
{
    size_t count = 0;
    const Keyword* table = KeywordTable(&count);
    std::string list;
    for (size_t i = 0; i < count; ++i)
        list += (i ? ", " : "") + std::string(table[i].name);
    return list;
}

std::string UnknownKeyword(const std::string& line)
{
    const std::string keyword = line.substr(0, line.find(','));
    size_t count = 0;
    const Keyword* table = KeywordTable(&count);
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i)
        names.push_back(table[i].name);
    const std::string nearest = NearestWord(keyword, names);
    if (!nearest.empty())
        return "unknown command " + Quoted(keyword) + "; did you mean " + nearest + "?";
    return "unknown command " + Quoted(keyword) + "; the commands are " + KeywordList();
}

std::string Bytes(size_t length)
{
    return std::to_string(length) + " bytes";
}

} // namespace

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string RuntimeMessage(LoadProblem problem, const std::string& path)
{
    LoadError error = {};
    error.problem = problem;
    snprintf(error.path, sizeof error.path, "%s", path.c_str());
    char text[LoadDetailCapacity];
    FormatLoadMessage(error, text, sizeof text);
    return text;
}

std::string ByteOrderMark()
{
    return "the file begins with a Unicode byte order mark: qvsetup reads INF files as CP932 "
           "(Shift-JIS); save it without one";
}

std::string SecondSection(const std::string& name, int firstLine)
{
    return "a second [" + name + "] section: qvsetup reads only the first, at line " +
           std::to_string(firstLine);
}

std::string UnknownSection(const std::string& name, const std::vector<std::string>& known)
{
    return "unknown section [" + name + "]" + Hint(name, known, "[", "]");
}

std::string KeySetAgain(const std::string& name, int firstLine)
{
    return name + " is set again: qvsetup reads the first, at line " + std::to_string(firstLine);
}

std::string UnknownKey(const std::string& name, const char* section,
                       const std::vector<std::string>& known)
{
    return "unknown key " + Quoted(name) + " in [" + section + "]" + Hint(name, known);
}

std::string MasterUnreadable()
{
    return "the master INF can't be read (missing, opened by another program, or too large)";
}

std::string AppUnreadable(LoadProblem problem)
{
    return problem == LoadProblem::OutOfMemory
               ? "no memory to read the file"
               : "the file can't be read (missing, opened by another program, or too large)";
}

std::string AppPathTooLong()
{
    return "the path is longer than 259 bytes";
}

std::string MasterPathTooLongOnDisc(const std::string& disc, size_t length)
{
    return "on the disc the media folder is " + disc + ", and the master INF's path would be " +
           Bytes(length) + "; the limit is 259: qvsetup can't read it";
}

std::string SectionCut(const char* section, size_t capacity)
{
    return std::string("[") + section + "] is longer than the " + Bytes(capacity) +
           " qvsetup reads of it: this line and the lines after it are left out";
}

std::string NotYesOrNo(const std::string& shown, bool meansYes)
{
    return shown + " is neither YES nor NO: it means " +
           (meansYes ? "YES (only NO turns it off)" : "NO (only YES turns it on)");
}

std::string NotAStyle(const std::string& shown)
{
    return shown + " is not MULTI, SINGLE or SINGLELIST: it means SINGLELIST";
}

std::string NotANumber(const std::string& shown, uint32_t tick)
{
    return shown + " is not a decimal number: the tick is " + std::to_string(tick) + " ms";
}

std::string NegativeTick(const std::string& shown)
{
    return shown + " is negative: the tick is the shortest the system allows (10 ms)";
}

std::string ValueCut(const char* key, size_t length, size_t kept)
{
    return std::string(key) + " is " + Bytes(length) + "; qvsetup keeps the first " +
           std::to_string(kept);
}

std::string LogTooLong(const char* key, size_t length, size_t capacity)
{
    return std::string(key) + " is " + Bytes(length) + "; qvsetup writes no log for " +
           std::to_string(capacity - 1) + " bytes or more";
}

std::string LogTooLongExpanded(const std::string& shown, size_t length)
{
    return shown + " expands to " + Bytes(length) + "; the limit is 259: qvsetup writes no log";
}

std::string LogExpandsToNothing(const std::string& shown)
{
    return shown + " expands to no path (nothing, or blanks only): qvsetup writes no log";
}

std::string LogMacroRunsOn(const std::string& shown)
{
    return shown + " has a %name% longer than 259 bytes (write %% for a percent sign): qvsetup "
                   "writes no log";
}

std::string PictureUnreadable(const std::string& bitmap)
{
    return "the picture " + Quoted(bitmap) + " can't be read: the background shows no picture";
}

std::string PictureRefused(const std::string& bitmap)
{
    return "the picture " + Quoted(bitmap) +
           " is not an uncompressed BMP of 1, 4 or 8 bits per pixel, or is damaged: the "
           "background shows no picture";
}

std::string PriorityFindsNothing(const std::string& line, bool defaultPattern)
{
    return defaultPattern ? "no file matches the default pattern " + line
                          : "the [Priority] line " + Quoted(line) + " finds no file";
}

std::string PatternTooLongOnDisc(const std::string& line, const std::string& onDisc)
{
    return "the [Priority] line " + Quoted(line) + " finds no file on the disc: " + onDisc +
           " is " + Bytes(onDisc.size()) + ", past 259";
}

std::string PassedOverOnDisc(const std::string& onDisc)
{
    return "not offered: on the disc its path " + onDisc + " is " + Bytes(onDisc.size()) +
           ", past 259, and qvsetup passes over it without a word";
}

std::string DeviceNotFile(const std::string& name)
{
    return Quoted(name) + " found by [Priority] names a device, not a file: qvsetup passes over it";
}

std::string NoSignature(int priorityLine)
{
    return "not offered: [Version] has no signature=$QVSETUP$" +
           (priorityLine ? " (found by [Priority] at line " + std::to_string(priorityLine) +
                               " of the master INF)"
                         : std::string());
}

std::string NeedsAdministrator()
{
    return "not offered to this user: admini=YES and the user is no administrator";
}

std::string NoTitle()
{
    return "no TITLE in [Strings]: the application has no name to show";
}

std::string TitleCut(size_t length, size_t kept)
{
    return "TITLE is " + Bytes(length) + "; the list shows the first " + std::to_string(kept);
}

std::string DescriptionCut(size_t length, size_t kept)
{
    return "DESCRIPTION is " + Bytes(length) + "; the dialog shows the first " + std::to_string(kept);
}

std::string NoCommands()
{
    return "no commands in [Install]: when this application's turn comes, the run ends";
}

std::string OverlongField(int field, size_t length, size_t limit)
{
    return std::string(FieldNames[field]) + " is " + Bytes(length) +
           " after macro expansion; the limit is " + std::to_string(limit);
}

std::string BadLine(const std::string& line, const char* checkKey, bool fdOnly, LineFault fault,
                    int32_t field, const std::string& overlong)
{
    const char* macro = fdOnly ? "%FD%" : "%CDROM%";
    switch (fault) {
    case LineFault::FieldTooLong:
        if (!overlong.empty())
            return overlong;
        return std::string(FieldNames[field >= 0 && field < CommandFields ? field : 0]) +
               " is too long";
    case LineFault::TooManyFields:
        return "more than four fields: a command line is COMMAND,PARAMETER1,PARAMETER2,CHECKKEY "
               "(put a text with commas in double quotes)";
    case LineFault::MacroNameTooLong:
        return "a %name% longer than 259 bytes: a percent sign opens a macro name that runs on "
               "(write %% for a percent sign)";
    case LineFault::UnknownKeyword:
        return UnknownKeyword(line);
    case LineFault::NoCheckKey:
        return std::string("uses ") + macro + " but names no [CheckCdrom] key in its fourth field";
    case LineFault::NoCheckValue:
        return std::string("the [CheckCdrom] key ") + Quoted(checkKey) +
               " of this line is missing or empty in this file";
    case LineFault::OutOfMemory:
        return "no memory to read the line";
    case LineFault::None:
        break;
    }
    return "invalid command line";
}

std::string BackToBackMacros(const std::string& macros)
{
    return macros + ": two macros back to back do not both expand (%% is a literal %); write "
                    "them with \"\" between, as %A%\"\"%B%";
}

std::string OverlongOnOtherSystem(const std::string& system, const std::string& windowsDir,
                                  const std::string& systemDir, const std::string& overlong)
{
    return "with the folders of " + system + " (" + windowsDir + ", " + systemDir + "), " +
           overlong + ": qvsetup refuses the line there";
}

std::string CheckValueUnsplit(const char* key, bool tooManyFields)
{
    return "the [CheckCdrom] value of " + Quoted(key) +
           (tooManyFields ? std::string(" has more than three fields")
                          : " has a field that is too long (probe path " +
                                std::to_string(DiscProbe::ProbeCapacity - 1) + ", prompt " +
                                std::to_string(DiscProbe::PromptTextCapacity - 1) + ", buttons " +
                                std::to_string(DiscProbe::ButtonSetCapacity - 1) + " bytes)") +
           ": the drive check fails at this command's turn and the run ends without a message";
}

std::string QuoteAfterBackslashByte(const std::string& character)
{
    return Quoted(character + "\"") + ": the second byte of " + character +
           " is a backslash byte (0x5C), so the quote after it is a literal quote and does "
           "not close the quotes; put another character between them";
}

std::string EscapeAfterBackslashByte(const std::string& character, char escape)
{
    const std::string written = character + "\\" + escape;
    return Quoted(written) + ": the second byte of " + character +
           " is a backslash byte (0x5C) and pairs with the backslash after it, so \\" + escape +
           " is no escape here; write " + Quoted(character + "\\\\" + escape);
}

std::string NeverRuns(int attentionLine)
{
    return "never runs: the ATTENTION at line " + std::to_string(attentionLine) +
           " ends the run (after its time, or never closes without one)";
}

std::string NotANumberField(const std::string& number, uint32_t code)
{
    const char* meaning = "it reads as 0";
    switch (code & CommandCodeMask) {
    case CmdSleep:
        meaning = "SLEEP waits 0 ms";
        break;
    case CmdAttention:
        meaning = "the notice closes at once and the run ends";
        break;
    case CmdDelall:
        meaning = "DELALL leaves the subfolders";
        break;
    case CmdShutdown:
        meaning = "SHUTDOWN restarts";
        break;
    default:
        break;
    }
    return Quoted(number) + " is not a number: " + meaning;
}

std::string SetattRefused(const std::string& changes)
{
    return "SETATT's changes " + Quoted(changes) +
           " are refused at its turn (write +R, -H, +S, -A and blanks): the run ends";
}

std::string ProbeOnNoDisc(const char* key)
{
    return "the drive check " + Quoted(key) +
           " looks for a probe file that is on none of the discs checked: qvsetup asks for the "
           "disc until the user gives up (give the other discs' folders after the media folder)";
}

std::string SourceNotOnDisc(const std::string& source, const std::string& onDisc, bool folder)
{
    return "the source " + Quoted(source) + " is not on the disc (" + onDisc + "): " +
           (folder ? "the command copies nothing" : "the command fails at its turn");
}

std::string NotCompressed(const std::string& source)
{
    return "the source " + Quoted(source) + " is not a compressed (SZDD) file: EXPAND copies it unchanged";
}

std::string AnswerFileUnreadable()
{
    return std::string("the answer file can't be read") + NothingRuns;
}

std::string NoAnswerSection()
{
    return "no [Unattended] section" + NothingRuns;
}

std::string AnswerByteOrderMark()
{
    return "the answer file begins with a byte order mark; write it in CP932 without one" + NothingRuns;
}

std::string AnswerRefused(const std::string& shown, const char* fault)
{
    return shown + ": " + fault + NothingRuns;
}

std::string SelectNotOffered(const std::string& name)
{
    return "Select names " + name + ", which the media do not offer" + NothingRuns;
}

} // namespace say
