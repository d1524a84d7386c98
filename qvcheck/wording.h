// The wording of qvcheck's findings, in one place: each function answers
// the text of one kind of finding. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/core/inf_line.h"
#include "setup/core/inf_parser.h"

namespace say {

std::string Quoted(const std::string& text);

// The runtime's message for a load problem of the file at `path`.
std::string RuntimeMessage(LoadProblem problem, const std::string& path);

// Files and their sections and keys.
std::string ByteOrderMark();
std::string SecondSection(const std::string& name, int firstLine);
std::string UnknownSection(const std::string& name, const std::vector<std::string>& known);
std::string KeySetAgain(const std::string& name, int firstLine);
std::string UnknownKey(const std::string& name, const char* section,
                       const std::vector<std::string>& known);
std::string MasterUnreadable();
std::string AppUnreadable(LoadProblem problem);
std::string AppPathTooLong();
std::string MasterPathTooLongOnDisc(const std::string& disc, size_t length);
std::string SectionCut(const char* section, size_t capacity);

// Settings.
std::string NotYesOrNo(const std::string& shown, bool meansYes);
std::string NotAStyle(const std::string& shown);
std::string NotANumber(const std::string& shown, uint32_t tick);
std::string NegativeTick(const std::string& shown);
std::string ValueCut(const char* key, size_t length, size_t kept);
std::string LogTooLong(const char* key, size_t length, size_t capacity);
std::string LogTooLongExpanded(const std::string& shown, size_t length);
std::string LogExpandsToNothing(const std::string& shown);
std::string LogMacroRunsOn(const std::string& shown);
std::string PictureUnreadable(const std::string& bitmap);
std::string PictureRefused(const std::string& bitmap);

// [Priority] and the application INFs it finds.
std::string PriorityFindsNothing(const std::string& line, bool defaultPattern);
std::string PatternTooLongOnDisc(const std::string& line, const std::string& onDisc);
std::string PassedOverOnDisc(const std::string& onDisc);
std::string DeviceNotFile(const std::string& name);
std::string NoSignature(int priorityLine);
std::string NeedsAdministrator();
std::string NoTitle();
std::string TitleCut(size_t length, size_t kept);
std::string DescriptionCut(size_t length, size_t kept);
std::string NoCommands();

// Command lines.
std::string BadLine(const std::string& line, const char* checkKey, bool fdOnly, LineFault fault,
                    int32_t field, const std::string& overlong);
std::string OverlongField(int field, size_t length, size_t limit);
std::string BackToBackMacros(const std::string& macros);
std::string OverlongOnOtherSystem(const std::string& system, const std::string& windowsDir,
                                  const std::string& systemDir, const std::string& overlong);
std::string CheckValueUnsplit(const char* key, bool tooManyFields);
std::string QuoteAfterBackslashByte(const std::string& character);
std::string EscapeAfterBackslashByte(const std::string& character, char escape);
std::string NeverRuns(int attentionLine);
std::string NotANumberField(const std::string& number, uint32_t code);
std::string SetattRefused(const std::string& changes);

// Sources on the discs.
std::string ProbeOnNoDisc(const char* key);
std::string SourceNotOnDisc(const std::string& source, const std::string& onDisc, bool folder);
std::string NotCompressed(const std::string& source);

// Answer files of unattended runs.
std::string AnswerFileUnreadable();
std::string NoAnswerSection();
std::string AnswerByteOrderMark();
std::string AnswerRefused(const std::string& shown, const char* fault);
std::string SelectNotOffered(const std::string& name);

} // namespace say
