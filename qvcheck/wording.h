// The wording of qvcheck's findings, in one place: each function answers
// the text of one kind of finding. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/core/inf_line.h"
#include "qvcheck/disc_manifest.h"
#include "qvcheck/rules.h"
#include "setup/core/inf_parser.h"
#include "setup/core/system_folders.h"

// Why a destination can't be written as its command means it.
enum class DestinationFault {
    TrailingBackslash,
    Wildcard,
    Folder,         // a folder every target machine has, such as %WINDIR%
    InsideSource,   // XCOPYA: the source folder itself, or a folder inside it
};

namespace say {

// A finding's words and the kind of finding they are.
struct Said {
    RuleId rule;
    std::string text;
};

std::string Quoted(const std::string& text);

// The runtime's message for a load problem of the file at `path`.
std::string RuntimeMessage(LoadProblem problem, const std::string& path);

// Files and their sections and keys.
Said ByteOrderMark();
// `utf8`: the line reads as UTF-8 text; else its bytes are no CP932 at all.
Said NotCp932(bool utf8);
Said SecondSection(const std::string& name, int firstLine);
Said UnknownSection(const std::string& name, const std::vector<std::string>& known);
Said KeySetAgain(const std::string& name, int firstLine);
Said UnknownKey(const std::string& name, const char* section,
                       const std::vector<std::string>& known);
Said MasterUnreadable();
Said AppUnreadable(LoadProblem problem);
Said AppPathTooLong();
Said MasterPathTooLongOnDisc(const std::string& disc, size_t length);
Said SectionCut(const char* section, size_t capacity);

// Settings.
Said NotYesOrNo(const std::string& shown, bool meansYes);
Said NotAStyle(const std::string& shown);
Said NotANumber(const std::string& shown, uint32_t tick);
Said NegativeTick(const std::string& shown);
Said ValueCut(const char* key, size_t length, size_t kept);
Said LogTooLong(const char* key, size_t length, size_t capacity);
Said LogTooLongExpanded(const std::string& shown, size_t length);
Said LogExpandsToNothing(const std::string& shown);
Said LogMacroRunsOn(const std::string& shown);
Said PictureUnreadable(const std::string& bitmap);
Said PictureRefused(const std::string& bitmap);

// [Priority] and the application INFs it finds.
Said PriorityFindsNothing(const std::string& line, bool defaultPattern);
Said PatternTooLongOnDisc(const std::string& line, const std::string& onDisc);
Said PassedOverOnDisc(const std::string& onDisc);
Said DeviceNotFile(const std::string& name);
Said NoSignature(int priorityLine);
Said NeedsAdministrator();
Said NoTitle();
Said ModelUnreadable(const std::string& why);
Said BadModel(const std::string& shown, const std::string& fault);
Said TitleCut(size_t length, size_t kept);
Said DescriptionCut(size_t length, size_t kept);
Said NoCommands();

// Command lines.
Said BadLine(const std::string& line, const char* checkKey, bool fdOnly, LineFault fault,
                    int32_t field, const std::string& overlong);
std::string OverlongField(int field, size_t length, size_t limit);
Said BackToBackMacros(const std::string& macros);
Said OverlongOnOtherSystem(const std::string& system, const std::string& windowsDir,
                                  const std::string& systemDir, const std::string& overlong);
Said CheckValueUnsplit(const char* key, bool tooManyFields);
Said NotOnThisWindows(ForeignPath fault, const std::string& named, const std::string& system,
                      const std::string& windowsDir, const std::string& systemDir);
Said QuoteAfterBackslashByte(const std::string& character);
Said EscapeAfterBackslashByte(const std::string& character, char escape);
Said NeverRuns(int attentionLine);
Said NotANumberField(const std::string& number, uint32_t code);
Said SetattRefused(const std::string& changes, bool silent);

// Sources on the discs.
Said ProbeOnNoDisc(const char* key);
Said CheckKeyReused(const char* key, const std::string& probe, const std::string& firstProbe,
                    const std::string& firstFile, int firstLine);
// `folder`: the command copies a tree; `isFolder`: the source is a folder, not a file.
Said SourceNotOnDisc(const std::string& source, const std::string& onDisc, bool folder,
                     bool isFolder = false);
Said NotCompressed(const std::string& source);

// Commands that fail at their turn, whatever the target machine holds.
Said EmptyField(uint32_t code, int field, bool quoteOpen);
Said OwnDestination(const std::string& path);
Said DestinationNoFile(const std::string& destination, DestinationFault fault);
Said DestinationNoFolder(const std::string& destination, DestinationFault fault);
Said ProgramIsFolder(const std::string& program);
Said NoProgram(const std::string& file);
Said TreePathTooLong(const std::string& path, size_t length);
Said PathEndsWithBackslash(uint32_t code, const std::string& path);
// ... and one that fails where the target machine lacks a folder.
Said FolderAboveMayLack(const std::string& folder);

// Answer files of unattended runs.
Said AnswerFileUnreadable();
Said NoAnswerSection();
Said AnswerByteOrderMark();
Said AnswerRefused(const std::string& shown, const char* fault);
// `answerFile`: an answer file's Select; else qvcheck's /select.
Said SelectNotOffered(const std::string& name, bool answerFile);
Said SelectOtherModel(const std::string& name, const std::string& model, bool answerFile);

// The disc's manifest.
Said ManifestDamaged(ManifestFault fault);
Said ManifestDiffers(int manifestLine, bool sizeDiffers, bool unreadable);
Said ManifestMissing(const std::string& path);
Said ManifestExtra();

} // namespace say
