// The wording of qvcheck's findings.
#include "qvcheck/wording.h"

#include <algorithm>
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

// The keywords in the order of their codes: the order qvcheck has always
// listed them in, which also settles which of two keywords as near to a
// misspelt one it suggests.
std::vector<std::string> KeywordsByCode()
{
    std::vector<const CommandFacts*> commands;
    for (const CommandFacts& command : Commands)
        commands.push_back(&command);
    std::sort(commands.begin(), commands.end(),
              [](const CommandFacts* a, const CommandFacts* b) { return a->code < b->code; });
    std::vector<std::string> names;
    for (const CommandFacts* command : commands)
        names.push_back(command->name);
    return names;
}

std::string KeywordList()
{
    std::string list;
    for (const std::string& name : KeywordsByCode())
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

std::string UnknownKeyword(const std::string& line)
{
    const std::string keyword = line.substr(0, line.find(','));
    const std::string nearest = NearestWord(keyword, KeywordsByCode());
    if (!nearest.empty())
        return "unknown command " + Quoted(keyword) + "; did you mean " + nearest + "?";
    return "unknown command " + Quoted(keyword) + "; the commands are " + KeywordList();
}

std::string Bytes(size_t length)
{
    return std::to_string(length) + " bytes";
}

// How a command that fails for certain ends the run at its turn.
std::string RunEndsAtItsTurn(bool silent = false)
{
    return std::string(": at its turn the run ends") + (silent ? " without a message" : "") +
           " (unattended: exit code " + std::to_string(EndCommandFailed) + ")";
}

// How a command ends whose path is never found: EXIST waits for ever,
// others end the run (DELETE and DELALL without a message).
std::string PathTestEnds(uint32_t command)
{
    if (CommandHas(command, TraitWaitsForPath))
        return ": at its turn it waits for ever (unattended: exit code " + std::to_string(EndWaitTimedOut) +
               " after " + FactsOf(command)->waitLimit.key + ")";
    return RunEndsAtItsTurn(CommandHas(command, TraitNeedsFolderAbove));
}

// What the field `field` (1 or 2) of a command is.
const char* FieldName(uint32_t command, int field)
{
    const CommandFacts* facts = FactsOf(command);
    const char* name = facts && (field == 1 || field == 2) ? facts->fields[field - 1] : nullptr;
    return name ? name : field == 2 ? "second field" : "first field";
}

const char* DestinationFaultText(DestinationFault fault)
{
    switch (fault) {
    case DestinationFault::TrailingBackslash:
        return "ends with a backslash";
    case DestinationFault::Wildcard:
        return "holds a wildcard (* or ?)";
    case DestinationFault::Folder:
        return "is a folder that every target machine has";
    case DestinationFault::InsideSource:
        return "is the source folder or lies inside it";
    }
    return "";
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

Said ByteOrderMark()
{
    return Said{RuleId::ByteOrderMark, "the file begins with a Unicode byte order mark: qvsetup reads INF files as CP932 "
           "(Shift-JIS); save it without one"};
}

Said NotCp932(bool utf8)
{
    return Said{RuleId::NotCp932,
                std::string(utf8 ? "the file looks like UTF-8 from this line on"
                                 : "this line holds bytes that are no CP932 text") +
                    ": qvsetup reads INF files as CP932 (Shift-JIS), so its Japanese texts show garbled; "
                    "save the file in CP932 (tools/to-cp932 converts a UTF-8 file)"};
}

Said SecondSection(const std::string& name, int firstLine)
{
    return Said{RuleId::SecondSection, "a second [" + name + "] section: qvsetup reads only the first, at line " +
           std::to_string(firstLine)};
}

Said UnknownSection(const std::string& name, const std::vector<std::string>& known)
{
    return Said{RuleId::UnknownSection, "unknown section [" + name + "]" + Hint(name, known, "[", "]")};
}

Said KeySetAgain(const std::string& name, int firstLine)
{
    return Said{RuleId::KeySetAgain, name + " is set again: qvsetup reads the first, at line " + std::to_string(firstLine)};
}

Said UnknownKey(const std::string& name, const char* section,
                       const std::vector<std::string>& known)
{
    return Said{RuleId::UnknownKey, "unknown key " + Quoted(name) + " in [" + section + "]" + Hint(name, known)};
}

Said MasterUnreadable()
{
    return Said{RuleId::MasterUnreadable, "the master INF can't be read (missing, opened by another program, or too large)"};
}

Said AppUnreadable(LoadProblem problem)
{
    return Said{RuleId::AppUnreadable, problem == LoadProblem::OutOfMemory
               ? "no memory to read the file"
               : "the file can't be read (missing, opened by another program, or too large)"};
}

Said AppPathTooLong()
{
    return Said{RuleId::AppPathTooLong, "the path is longer than 259 bytes"};
}

Said MasterPathTooLongOnDisc(const std::string& disc, size_t length)
{
    return Said{RuleId::MasterPathTooLongOnDisc, "on the disc the media folder is " + disc + ", and the master INF's path would be " +
           Bytes(length) + "; the limit is 259: qvsetup can't read it"};
}

Said SectionCut(const char* section, size_t capacity)
{
    return Said{RuleId::SectionCut, std::string("[") + section + "] is longer than the " + Bytes(capacity) +
           " qvsetup reads of it: this line and the lines after it are left out"};
}

Said NotYesOrNo(const std::string& shown, bool meansYes)
{
    return Said{RuleId::NotYesOrNo, shown + " is neither YES nor NO: it means " +
           (meansYes ? "YES (only NO turns it off)" : "NO (only YES turns it on)")};
}

Said NotAStyle(const std::string& shown)
{
    return Said{RuleId::NotAStyle, shown + " is not MULTI, SINGLE or SINGLELIST: it means SINGLELIST"};
}

Said NotANumber(const std::string& shown, uint32_t tick)
{
    return Said{RuleId::NotANumber, shown + " is not a decimal number: the tick is " + std::to_string(tick) + " ms"};
}

Said NegativeTick(const std::string& shown)
{
    return Said{RuleId::NegativeTick, shown + " is negative: the tick is the shortest the system allows (10 ms)"};
}

Said ValueCut(const char* key, size_t length, size_t kept)
{
    return Said{RuleId::ValueCut, std::string(key) + " is " + Bytes(length) + "; qvsetup keeps the first " +
           std::to_string(kept)};
}

Said LogTooLong(const char* key, size_t length, size_t capacity)
{
    return Said{RuleId::LogTooLong, std::string(key) + " is " + Bytes(length) + "; qvsetup writes no log for " +
           std::to_string(capacity - 1) + " bytes or more"};
}

Said LogTooLongExpanded(const std::string& shown, size_t length)
{
    return Said{RuleId::LogTooLongExpanded, shown + " expands to " + Bytes(length) + "; the limit is 259: qvsetup writes no log"};
}

Said LogExpandsToNothing(const std::string& shown)
{
    return Said{RuleId::LogExpandsToNothing, shown + " expands to no path (nothing, or blanks only): qvsetup writes no log"};
}

Said LogMacroRunsOn(const std::string& shown)
{
    return Said{RuleId::LogMacroRunsOn, shown + " has a %name% longer than 259 bytes (write %% for a percent sign): qvsetup "
                   "writes no log"};
}

Said PictureUnreadable(const std::string& bitmap)
{
    return Said{RuleId::PictureUnreadable, "the picture " + Quoted(bitmap) + " can't be read: the background shows no picture"};
}

Said PictureRefused(const std::string& bitmap)
{
    return Said{RuleId::PictureRefused, "the picture " + Quoted(bitmap) +
           " is not an uncompressed BMP of 1, 4 or 8 bits per pixel, or is damaged: the "
           "background shows no picture"};
}

Said PriorityFindsNothing(const std::string& line, bool defaultPattern)
{
    return Said{RuleId::PriorityFindsNothing, defaultPattern ? "no file matches the default pattern " + line
                          : "the [Priority] line " + Quoted(line) + " finds no file"};
}

Said PatternTooLongOnDisc(const std::string& line, const std::string& onDisc)
{
    return Said{RuleId::PatternTooLongOnDisc, "the [Priority] line " + Quoted(line) + " finds no file on the disc: " + onDisc +
           " is " + Bytes(onDisc.size()) + ", past 259"};
}

Said PassedOverOnDisc(const std::string& onDisc)
{
    return Said{RuleId::PassedOverOnDisc, "not offered: on the disc its path " + onDisc + " is " + Bytes(onDisc.size()) +
           ", past 259, and qvsetup passes over it without a word"};
}

Said DeviceNotFile(const std::string& name)
{
    return Said{RuleId::DeviceNotFile, Quoted(name) + " found by [Priority] names a device, not a file: qvsetup passes over it"};
}

Said NoSignature(int priorityLine)
{
    return Said{RuleId::NoSignature, "not offered: [Version] has no signature=$QVSETUP$" +
           (priorityLine ? " (found by [Priority] at line " + std::to_string(priorityLine) +
                               " of the master INF)"
                         : std::string())};
}

Said NeedsAdministrator()
{
    return Said{RuleId::NeedsAdministrator, "not offered to this user: admini=YES and the user is no administrator"};
}

Said ModelUnreadable(const std::string& why)
{
    return Said{RuleId::ModelUnreadable, "no model can be read on this system, " + why +
                                             ": the application is offered unchecked on every PC, and an unattended "
                                             "run installs it only when Select names it (Status=model unread)"};
}

Said BadModel(const std::string& shown, const std::string& fault)
{
    // typescan's message, its lines as one.
    std::string said;
    for (char c : fault) {
        if (c != '\n')
            said += c;
        else if (!said.empty() && said.back() != ' ')
            said += ' ';
    }
    while (!said.empty() && said.back() == ' ')
        said.pop_back();
    return Said{RuleId::BadModel, shown + " is no condition that typescan takes (" + said +
                                      "): qvsetup stops loading there"};
}

Said NoTitle()
{
    return Said{RuleId::NoTitle, "no TITLE in [Strings]: the application has no name to show"};
}

Said TitleCut(size_t length, size_t kept)
{
    return Said{RuleId::TitleCut, "TITLE is " + Bytes(length) + "; the list shows the first " + std::to_string(kept)};
}

Said DescriptionCut(size_t length, size_t kept)
{
    return Said{RuleId::DescriptionCut, "DESCRIPTION is " + Bytes(length) + "; the dialog shows the first " + std::to_string(kept)};
}

Said NoCommands()
{
    return Said{RuleId::NoCommands, "no commands in [Install]: when this application's turn comes, the run ends "
                                    "without a message (unattended: exit code " +
                                        std::to_string(EndCommandFailed) + ")"};
}

std::string OverlongField(int field, size_t length, size_t limit)
{
    return std::string(FieldNames[field]) + " is " + Bytes(length) +
           " after macro expansion; the limit is " + std::to_string(limit);
}

namespace {

std::string BadLineText(const std::string& line, const char* checkKey, bool fdOnly, LineFault fault,
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

RuleId BadLineRule(LineFault fault)
{
    switch (fault) {
    case LineFault::FieldTooLong:
        return RuleId::BadLineFieldTooLong;
    case LineFault::TooManyFields:
        return RuleId::BadLineTooManyFields;
    case LineFault::MacroNameTooLong:
        return RuleId::BadLineMacroNameTooLong;
    case LineFault::UnknownKeyword:
        return RuleId::BadLineUnknownKeyword;
    case LineFault::NoCheckKey:
        return RuleId::BadLineNoCheckKey;
    case LineFault::NoCheckValue:
        return RuleId::BadLineNoCheckValue;
    case LineFault::OutOfMemory:
        return RuleId::BadLineOutOfMemory;
    case LineFault::None:
        break;
    }
    return RuleId::BadLineInvalid;
}

} // namespace

Said BadLine(const std::string& line, const char* checkKey, bool fdOnly, LineFault fault,
             int32_t field, const std::string& overlong)
{
    return Said{BadLineRule(fault), BadLineText(line, checkKey, fdOnly, fault, field, overlong)};
}

Said BackToBackMacros(const std::string& macros)
{
    return Said{RuleId::BackToBackMacros, macros + ": two macros back to back do not both expand (%% is a literal %); write "
                    "them with \"\" between, as %A%\"\"%B%"};
}

Said OverlongOnOtherSystem(const std::string& system, const std::string& windowsDir,
                                  const std::string& systemDir, const std::string& overlong)
{
    return Said{RuleId::OverlongOnOtherSystem, "with the folders of " + system + " (" + windowsDir + ", " + systemDir + "), " +
           overlong + ": qvsetup refuses the line there"};
}

Said CheckValueUnsplit(const char* key, bool tooManyFields)
{
    return Said{RuleId::CheckValueUnsplit, "the [CheckCdrom] value of " + Quoted(key) +
           (tooManyFields ? std::string(" has more than three fields")
                          : " has a field that is too long (probe path " +
                                std::to_string(DiscProbe::ProbeCapacity - 1) + ", prompt " +
                                std::to_string(DiscProbe::PromptTextCapacity - 1) + ", buttons " +
                                std::to_string(DiscProbe::ButtonSetCapacity - 1) + " bytes)") +
           ": the drive check fails" + RunEndsAtItsTurn(true)};
}

Said NotOnThisWindows(ForeignPath fault, const std::string& named, const std::string& system,
                      const std::string& windowsDir, const std::string& systemDir)
{
    std::string why;
    switch (fault) {
    case ForeignPath::OtherWindowsFolder:
        why = Quoted(named) + " is not the Windows folder of " + system + " (" + windowsDir +
              "): the path is elsewhere there; write %WINDIR%";
        break;
    case ForeignPath::NoCmdExe:
        why = system + " has no " + Quoted(named) + ": its command interpreter is COMMAND.COM";
        break;
    case ForeignPath::NoSystem32:
        why = system + " keeps its system files in " + systemDir + ", not in " + Quoted(named) +
              "; write %WINSYSDIR%";
        break;
    case ForeignPath::None:
        break;
    }
    return Said{RuleId::NotOnThisWindows, why};
}

Said QuoteAfterBackslashByte(const std::string& character)
{
    return Said{RuleId::QuoteAfterBackslashByte, Quoted(character + "\"") + ": the second byte of " + character +
           " is a backslash byte (0x5C), so the quote after it is a literal quote and does "
           "not close the quotes; put another character between them"};
}

Said EscapeAfterBackslashByte(const std::string& character, char escape)
{
    const std::string written = character + "\\" + escape;
    return Said{RuleId::EscapeAfterBackslashByte, Quoted(written) + ": the second byte of " + character +
           " is a backslash byte (0x5C) and pairs with the backslash after it, so \\" + escape +
           " is no escape here; write " + Quoted(character + "\\\\" + escape)};
}

Said NeverRuns(int attentionLine)
{
    return Said{RuleId::NeverRuns, "never runs: the ATTENTION at line " + std::to_string(attentionLine) +
           " ends the run (after its time, or never closes without one)"};
}

Said NotANumberField(const std::string& number, uint32_t code)
{
    const CommandFacts* facts = FactsOf(code);
    const char* meaning = facts && facts->notANumber ? facts->notANumber : "it reads as 0";
    return Said{RuleId::NotANumberField, Quoted(number) + " is not a number: " + meaning};
}

Said SetattRefused(const std::string& changes, bool silent)
{
    return Said{RuleId::SetattRefused, "SETATT's changes " + Quoted(changes) +
           " are refused (write +R, -H, +S, -A and blanks)" + RunEndsAtItsTurn(silent)};
}

Said ProbeOnNoDisc(const char* key)
{
    return Said{RuleId::ProbeOnNoDisc, "the drive check " + Quoted(key) +
           " looks for a probe file that is on none of the discs checked: qvsetup asks for the "
           "disc until the user gives up (unattended: exit code " + std::to_string(EndNoDisc) +
           " after DiscWait; give the other discs' folders after the media folder)"};
}

Said CheckKeyReused(const char* key, const std::string& probe, const std::string& firstProbe,
                    const std::string& firstFile, int firstLine)
{
    return Said{RuleId::CheckKeyReused,
                "the drive-check key " + Quoted(key) + " looks for " + probe + " here but for " + firstProbe +
                    ", on another disc, in " + firstFile + " at line " + std::to_string(firstLine) +
                    ": once a key's disc is found, qvsetup runs the commands of that key without a check, so "
                    "the disc of " + probe + " may never be asked for; give each disc a key of its own"};
}

Said SourceNotOnDisc(const std::string& source, const std::string& onDisc, bool folder, bool isFolder)
{
    return Said{RuleId::SourceNotOnDisc, "the source " + Quoted(source) +
                                             (isFolder ? " is a folder on the disc (" : " is not on the disc (") +
                                             onDisc + ")" +
                                             (folder ? ": the command copies nothing" : RunEndsAtItsTurn())};
}

Said EmptyField(uint32_t code, int field, bool quoteOpen)
{
    const uint32_t command = code & CommandCodeMask;
    const std::string why = quoteOpen ? " (a double quote left open took the commas after it, and the rest "
                                        "of the line, into the first field)"
                                      : "";
    return Said{RuleId::EmptyField, std::string(KeywordName(command)) + " has no " +
                                        FieldName(command, field) + why + PathTestEnds(command)};
}

Said PathEndsWithBackslash(uint32_t code, const std::string& path)
{
    const uint32_t command = code & CommandCodeMask;
    return Said{RuleId::PathEndsWithBackslash, "the path " + Quoted(path) +
                                                   " ends with a backslash, and no search finds such a "
                                                   "name" + PathTestEnds(command)};
}

Said OwnDestination(const std::string& path)
{
    return Said{RuleId::OwnDestination, "the destination is the source itself (" + path + ")" + RunEndsAtItsTurn()};
}

Said DestinationNoFile(const std::string& destination, DestinationFault fault)
{
    return Said{RuleId::DestinationNoFile, "the destination " + Quoted(destination) + " " +
                                               DestinationFaultText(fault) +
                                               ", but names the new file" + RunEndsAtItsTurn()};
}

Said DestinationNoFolder(const std::string& destination, DestinationFault fault)
{
    return Said{RuleId::DestinationNoFolder,
                "the destination folder " + Quoted(destination) + " " + DestinationFaultText(fault) +
                    RunEndsAtItsTurn()};
}

Said ProgramIsFolder(const std::string& program)
{
    return Said{RuleId::ProgramIsFolder, "the program " + Quoted(program) +
                                             " is a folder that every target machine has, no program" +
                                             RunEndsAtItsTurn()};
}

Said NoProgram(const std::string& file)
{
    return Said{RuleId::NoProgram, "the program " + Quoted(file) +
                                       " on the disc holds no program (its name ends with .EXE, but it does "
                                       "not begin with MZ)" + RunEndsAtItsTurn()};
}

Said TreePathTooLong(const std::string& path, size_t length)
{
    return Said{RuleId::TreePathTooLong, "the copy reaches " + Quoted(path) + ", " + Bytes(length) +
                                             "; the limit is " + std::to_string(PathCapacity - 1) +
                                             RunEndsAtItsTurn()};
}

Said FolderAboveMayLack(const std::string& folder)
{
    return Said{RuleId::FolderAboveMayLack,
                "where the folder " + Quoted(folder) +
                    " does not exist on the target machine (no earlier command makes it), the run ends "
                    "here without a message (unattended: exit code " +
                    std::to_string(EndCommandFailed) + ")"};
}

Said NotCompressed(const std::string& source)
{
    return Said{RuleId::NotCompressed, "the source " + Quoted(source) + " is not a compressed (SZDD) file: EXPAND copies it unchanged"};
}

Said AnswerFileUnreadable()
{
    return Said{RuleId::AnswerFileUnreadable, std::string("the answer file can't be read") + NothingRuns};
}

Said NoAnswerSection()
{
    return Said{RuleId::NoAnswerSection, "no [Unattended] section" + NothingRuns};
}

Said AnswerByteOrderMark()
{
    return Said{RuleId::AnswerByteOrderMark, "the answer file begins with a byte order mark; write it in CP932 without one" + NothingRuns};
}

Said AnswerRefused(const std::string& shown, const char* fault)
{
    return Said{RuleId::AnswerRefused, shown + ": " + fault + NothingRuns};
}

Said SelectNotOffered(const std::string& name, bool answerFile)
{
    if (!answerFile)
        return Said{RuleId::SelectNotOffered, "/select names " + name + ", which the media do not offer"};
    return Said{RuleId::SelectNotOffered, "Select names " + name + ", which the media do not offer" + NothingRuns};
}

Said SelectOtherModel(const std::string& name, const std::string& model, bool answerFile)
{
    return Said{RuleId::SelectOtherModel,
                std::string(answerFile ? "Select" : "/select") + " names " + name +
                    ", which its MODEL does not offer on the model of " + model +
                    ": it is not run there (Status=not offered)"};
}

Said ManifestDamaged(ManifestFault fault)
{
    const char* why = fault == ManifestFault::CheckFails  ? "its check line does not match: it was damaged or edited"
                      : fault == ManifestFault::PathTwice ? "it names a file twice"
                      : fault == ManifestFault::BadLine   ? "this line is no entry"
                                                          : "it has no check line at its end: it was cut short";
    return Said{RuleId::ManifestDamaged, std::string(DiscManifestName) + " can't be trusted: " + why +
                                             "; no file is checked against it"};
}

Said ManifestDiffers(int manifestLine, bool sizeDiffers, bool unreadable)
{
    const std::string entry = std::string(" (line ") + std::to_string(manifestLine) + " of " + DiscManifestName + ")";
    if (unreadable)
        return Said{RuleId::ManifestDiffers, "the file can't be read to check it against the manifest" + entry};
    return Said{RuleId::ManifestDiffers, std::string("the file differs from the manifest: its ") +
                                             (sizeDiffers ? "size" : "SHA-256") + " is not the one listed" + entry};
}

Said ManifestMissing(const std::string& path)
{
    return Said{RuleId::ManifestMissing, path + " is in the manifest, but not on the disc"};
}

Said ManifestExtra()
{
    return Said{RuleId::ManifestExtra, std::string("the file is not in the disc's manifest ") + DiscManifestName};
}

} // namespace say
