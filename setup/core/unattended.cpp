// An unattended run: its answers, its end, its result file.
#include "setup/core/unattended.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/owners.h"
#include "setup/core/dbcs.h"
#include "setup/core/file_replace.h"
#include "setup/core/inf_parser.h"
#include "setup/core/memory.h"
#include "setup/core/profile_text.h"
#include "setup/core/resume.h"
#include "setup/core/run_order.h"
#include "setup/core/setup_config.h"
#include "setup/core/setup_log.h"

UnattendedRun g_unattended;

namespace {

constexpr DWORD KeyListCapacity = 4096;
constexpr DWORD ValueCapacity = SelectListCapacity + 2;   // room to see a value that is too long
constexpr uint32_t MsPerSecond = 1000;
constexpr size_t ResultHeadCapacity = 4 * EndMessageCapacity + FailedAtCapacity;
constexpr size_t ResultAppCapacity = PathCapacity + 64;
constexpr char SilentEndReason[] = "a command ended the run without a message";
// How long the final result waits for a reader that holds its file.
constexpr uint32_t ResultRetryMs = 5000;

UnattendedRun& Run()
{
    return g_unattended;
}

// The full path of the file an environment variable names; false when the
// variable is not set or its path does not fit.
bool PathFromVariable(const char* variable, char (&path)[PathCapacity])
{
    char named[PathCapacity];
    const DWORD length = GetEnvironmentVariableA(variable, named, sizeof named);
    if (length == 0 || length >= sizeof named)
        return false;
    const DWORD full = GetFullPathNameA(named, sizeof path, path, nullptr);
    return full != 0 && full < sizeof path;
}

bool RefuseAnswers(const char* path, const char* why, const char* key)
{
    char message[EndMessageCapacity];
    snprintf(message, sizeof message, "answer file %s: %s%s%s", path, why, key[0] ? ": " : "", key);
    EndUnattendedRun(EndBadAnswers, message);
    return false;
}

// Every key of [Unattended], each judged by the answer rules, read with
// the two buffers given.
bool ApplyKeys(const char* path, char* keys, char* value)
{
    if (GetPrivateProfileStringA(AnswerSection, nullptr, "", keys, KeyListCapacity, path) >=
        KeyListCapacity - 2)
        return RefuseAnswers(path, "too many keys", "");
    for (const char* key = keys; *key; key += strlen(key) + 1) {
        GetPrivateProfileStringA(AnswerSection, key, "", value, ValueCapacity, path);
        const AnswerFault fault = ApplyAnswer(key, value, &Run().answers);
        if (fault != AnswerFault::None)
            return RefuseAnswers(path, AnswerFaultText(fault), key);
    }
    return true;
}

bool ApplyAnswerKeys(const char* path)
{
    const HeapBlock keys(KeyListCapacity);
    const HeapBlock value(ValueCapacity);
    return keys.get() && value.get() ? ApplyKeys(path, keys.get(), value.get())
                                     : RefuseAnswers(path, "out of memory", "");
}

// Takes one key before the others, when it is there and right.
void TakeKeyFirst(const char* path, const char* key)
{
    char value[PathCapacity + 2];
    if (GetPrivateProfileStringA(AnswerSection, key, "", value, sizeof value, path) > 0)
        ApplyAnswer(key, value, &Run().answers);
}

// Result and Log come first, so that the result file and the log can tell
// whatever is wrong with the rest. False when Result gives no path.
bool TakeResultAndLog(const char* path, const Machine& machine, Media& media)
{
    UnattendedRun& run = Run();
    TakeKeyFirst(path, "Result");
    TakeKeyFirst(path, "Log");
    if (run.answers.logPath[0] != '\0')
        memcpy(media.config.logPath, run.answers.logPath, sizeof media.config.logPath);
    const LogPathFault fault = ExpandLogPath(run.answers.resultPath, MacroValuesOf(machine),
                                             run.resultPath, sizeof run.resultPath);
    if (fault != LogPathFault::None)
        run.resultPath[0] = '\0';
    return fault == LogPathFault::None || fault == LogPathFault::Off;
}

// What the answer file's bytes say before its keys are read: whether it
// starts with a byte order mark, and whether it has [Unattended].
struct AnswerFileShape {
    bool readable;
    bool byteOrderMark;
    bool hasSection;
};

AnswerFileShape ShapeOf(const char* path)
{
    FileBytes file = {};
    LoadProblem problem = LoadProblem::None;
    if (!ReadFileBytes(path, &file, &problem))
        return AnswerFileShape{false, false, false};
    ProfileTextReader reader(file.bytes, file.size);
    const AnswerFileShape shape{true, HasByteOrderMark(file.bytes, file.size),
                                reader.SeekSection(AnswerSection)};
    FreeFileBytes(&file);
    return shape;
}

uint32_t SecondsSince(uint32_t tick)
{
    return (GetTickCount() - tick) / MsPerSecond;
}

} // namespace

// The command that ends the run, where it stands and as its INF has it,
// from what was kept when it was loaded: PATH: line N, [SECTION]: the line.
void NoteFailedCommand(const CommandRecord* cmd)
{
    char line[32] = "";
    if (cmd->fileLine > 0)
        snprintf(line, sizeof line, " line %ld,", static_cast<long>(cmd->fileLine));
    snprintf(Run().failedAt, sizeof Run().failedAt, "%s:%s [%s]: %s", cmd->infPath, line,
             cmd->section ? cmd->section : "", cmd->lineText ? cmd->lineText : "");
}

namespace {

// Every application still running ends: done, or failed when the run ended
// with a failure, or paused when the run stops for a restart before its
// last command.
void SettleRunningApps()
{
    UnattendedRun& run = Run();
    const bool failed = run.ended && !RunEndInstalled(run.end);
    const bool pausing = g_resume.stopsForRestart;
    for (AppOutcome* outcome = run.apps.head; outcome; outcome = outcome->next) {
        if (outcome->status != AppStatus::Running)
            continue;
        if (failed)
            outcome->status = AppStatus::Failed;
        else if (pausing && !JournalAppDone(outcome->name))
            outcome->status = AppStatus::Paused;
        else
            outcome->status = AppStatus::Done;
        outcome->seconds = outcome->baseSeconds + SecondsSince(outcome->startTick);
    }
}

// The text of a result file, built in a block of fixed size.
class ResultText {
public:
    explicit ResultText(size_t capacity)
        : text_(static_cast<char*>(AllocZeroed(capacity))), capacity_(capacity)
    {
    }
    ~ResultText() { FreeZeroed(text_); }
    ResultText(const ResultText&) = delete;
    ResultText& operator=(const ResultText&) = delete;

    const char* text() const { return text_; }
    size_t length() const { return used_; }
    bool complete() const { return text_ && fits_; }

    void Line(const char* line)
    {
        for (const char* c = line; *c; ++c)
            Put(*c);
        Put('\r');
        Put('\n');
    }

    // key=text, escaped so that the value stays one line and reads back
    // exactly. The second byte of a double-byte character is no backslash
    // ("表" is 95 5C).
    void Value(const char* key, const char* value)
    {
        for (const char* c = key; *c; ++c)
            Put(*c);
        Put('=');
        for (const char* c = value; *c; ++c) {
            if (IsLeadByte932(static_cast<unsigned char>(*c)) && c[1] != '\0') {
                Put(*c++);
                Put(*c);
            } else if (*c != '\r') {
                PutEscaped(*c);
            }
        }
        Line("");
    }

    void Number(const char* key, unsigned long number)
    {
        char digits[16];
        snprintf(digits, sizeof digits, "%lu", number);
        Value(key, digits);
    }

private:
    void PutEscaped(char c)
    {
        for (const ResultEscape& escape : ResultEscapes) {
            if (escape.byte == c) {
                Put(escape.written[0]);
                Put(escape.written[1]);
                return;
            }
        }
        Put(c);
    }

    void Put(char c)
    {
        if (text_ && used_ + 1 < capacity_)
            text_[used_++] = c;
        else
            fits_ = false;
    }

    char* text_;
    size_t capacity_;
    size_t used_ = 0;
    bool fits_ = true;
};

// Puts the result file in place. While a reader holds the file, the final
// result waits `retryMs` for it, then is written into it: a line that waits
// for its ExitCode must not find "running" for ever, nor the end of the
// run before a restart once it goes on.
bool LandResult(const ResultText& result, uint32_t retryMs)
{
    const char* path = Run().resultPath;
    uint32_t tries = 0;
    const Landing landing = LandFileWhole(path, result.text(), result.length(), retryMs, &tries);
    if (landing == Landing::Replaced && tries > 1)
        LogEvent("the result file %s was held by a reader: it took its place at try %lu", path,
                 static_cast<unsigned long>(tries));
    else if (landing == Landing::InPlace)
        LogEvent("the result file %s was held by a reader for %lu ms: it was written in place", path,
                 static_cast<unsigned long>(retryMs));
    return landing != Landing::Failed;
}

// Makes the folders above `path` that are missing, from the top down; a
// folder that can't be made is left to the write that needs it.
void MakeFoldersAbove(const char* path)
{
    char folder[PathCapacity];
    for (const char* at = path; *at; at += IsLeadByte932(static_cast<unsigned char>(*at)) && at[1] ? 2 : 1) {
        const size_t length = static_cast<size_t>(at - path);
        // Not a drive ("C:"), nor the start of a share's name ("\\"); Windows
        // takes "/" as "\" too.
        const bool separator = *at == '\\' || *at == '/';
        if (!separator || length < 3 || length >= sizeof folder || path[length - 1] == '\\' ||
            path[length - 1] == '/')
            continue;
        memcpy(folder, path, length);
        folder[length] = '\0';
        if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES)
            CreateDirectoryA(folder, nullptr);
    }
}

// Writes the result file; `ended` false writes the result of a run that
// goes on. A failed write is logged; false then.
bool WriteResult(bool ended, uint32_t retryMs)
{
    UnattendedRun& run = Run();
    ResultText result(ResultHeadCapacity + Count(run.apps) * ResultAppCapacity);
    const RunEnd end = run.ended ? run.end : EndDone;
    char header[PathCapacity + 2];
    snprintf(header, sizeof header, "[%s]", ResultSection);
    result.Line(header);
    if (ended) {
        result.Number(ResultKeys.exitCode, static_cast<unsigned long>(end));
        result.Value(ResultKeys.reason, run.reason[0] ? run.reason : RunEndMeaning(end));
    } else {
        result.Value(ResultKeys.exitCode, "");
        result.Value(ResultKeys.reason, RunningReason);
        result.Number(ResultKeys.process, GetCurrentProcessId());
    }
    result.Value(ResultKeys.message, run.message);
    result.Value(ResultKeys.failedAt, run.failedAt);
    result.Number(ResultKeys.seconds, SecondsSince(run.startTick));
    for (const AppOutcome* outcome = run.apps.head; outcome; outcome = outcome->next) {
        snprintf(header, sizeof header, "[%s]", outcome->name);
        result.Line(header);
        result.Value(ResultKeys.status, AppStatusText(outcome->status));
        result.Number(ResultKeys.seconds, outcome->seconds);
    }
    if (!result.complete() || !LandResult(result, retryMs)) {
        LogEvent("the result file %s could not be written (error %lu)", run.resultPath,
                 static_cast<unsigned long>(GetLastError()));
        return false;
    }
    run.resultWritten = ended;
    run.writtenEnd = end;
    return true;
}

// The run is unattended from now on, with the default answers; `path` is
// the answer file's full path, or false when QVSETUP_ANSWERS names none.
bool BeginUnattendedRun(char (&path)[PathCapacity])
{
    UnattendedRun& run = Run();
    run.on = true;
    run.startTick = GetTickCount();
    SetDefaultAnswers(&run.answers);
    if (!PathFromVariable(AnswersVariable, path))
        return false;
    memcpy(run.answerFile, path, sizeof run.answerFile);
    return true;
}

} // namespace

bool UnattendedAsked()
{
    return GetEnvironmentVariableA(AnswersVariable, nullptr, 0) > 0;
}

bool ReadAnswerFile(const Machine& machine, Media& media)
{
    char path[PathCapacity];
    if (!BeginUnattendedRun(path))
        return RefuseAnswers(AnswersVariable, "names no file that can be read", "");
    const AnswerFileShape shape = ShapeOf(path);
    if (!shape.readable)
        return RefuseAnswers(path, "missing or unreadable", "");
    if (!TakeResultAndLog(path, machine, media))
        return RefuseAnswers(path, "Result names no path that can be written", "Result");
    if (shape.byteOrderMark)
        return RefuseAnswers(path, "begins with a byte order mark: write it in CP932 without one", "");
    if (!shape.hasSection)
        return RefuseAnswers(path, "has no [Unattended] section", "");
    return ApplyAnswerKeys(path);
}

void EndUnattendedRun(RunEnd end, const char* message, const char* reason)
{
    UnattendedRun& run = Run();
    if (run.ended)
        return;
    run.ended = true;
    run.end = end;
    snprintf(run.reason, sizeof run.reason, "%s", reason ? reason : "");
    snprintf(run.message, sizeof run.message, "%s", message);
    const CommandRecord* cmd = run.commandsStarted && run.at ? run.at->command : nullptr;
    if (cmd && end != EndRestartNeeded && end != EndDone)
        NoteFailedCommand(cmd);
    LogEvent("unattended run ends with code %d: %s", end, reason ? reason : RunEndMeaning(end));
}

void EndRunSilently(const char* message)
{
    if (Run().on)
        EndUnattendedRun(EndCommandFailed, message, SilentEndReason);
}

// True when the process of that id runs.
bool ProcessRuns(DWORD id)
{
    const KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    return process.valid() && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// True when the result file tells of a run that goes on (empty ExitCode,
// Reason running) in a process that still runs; one that a killed run
// left is stale.
bool ResultOfRunGoingOn(const char* path)
{
    char code[16];
    char reason[sizeof RunningReason + 1];
    GetPrivateProfileStringA(ResultSection, ResultKeys.exitCode, "?", code, sizeof code, path);
    GetPrivateProfileStringA(ResultSection, ResultKeys.reason, "", reason, sizeof reason, path);
    char process[16];
    GetPrivateProfileStringA(ResultSection, ResultKeys.process, "", process, sizeof process, path);
    const DWORD id = strtoul(process, nullptr, 10);
    return code[0] == '\0' && strcmp(reason, RunningReason) == 0 && (id == 0 || ProcessRuns(id));
}

int EndSecondInstance(const Machine& machine, Media& media)
{
    char path[PathCapacity];
    if (BeginUnattendedRun(path))
        TakeResultAndLog(path, machine, media);
    EndUnattendedRun(EndAlreadyRunning, RunEndMeaning(EndAlreadyRunning));
    if (Run().resultPath[0] == '\0' || !ResultOfRunGoingOn(Run().resultPath))
        WriteRunResult();
    return EndAlreadyRunning;
}

void NoteRestartRefused()
{
    UnattendedRun& run = Run();
    run.ended = true;
    run.end = EndRestartNeeded;
    run.reason[0] = '\0';
    snprintf(run.message, sizeof run.message, "%s", "Windows refused to restart");
    LogEvent("unattended run ends with code %d: %s", run.end, RunEndMeaning(run.end));
}

// The application in the journal of a resumed run: its status (one that
// ran when the run stopped starts again) and its time so far.
void TakeJournalOutcome(AppOutcome* outcome)
{
    const Journal& journal = g_resume.journal;
    for (int32_t i = 0; i < journal.appCount; ++i) {
        const JournalApp& app = journal.apps[i];
        if (lstrcmpiA(app.name, outcome->name) != 0)
            continue;
        outcome->status = app.status == AppStatus::Running ? AppStatus::NotReached : app.status;
        outcome->baseSeconds = app.seconds;
        outcome->seconds = app.seconds;
    }
}

namespace {

// A new outcome of `app` with `status`, at the end of the run's list; null
// when there is no memory for it.
AppOutcome* AddOutcome(const AppRecord& app, AppStatus status)
{
    auto* outcome = AllocRecord<AppOutcome>();
    if (!outcome)
        return nullptr;
    snprintf(outcome->name, sizeof outcome->name, "%s", InfFileName(app.infPath));
    outcome->status = status;
    Append(Run().apps, outcome);
    return outcome;
}

// An application that the choice left out: why.
AppStatus LeftOut(const AppRecord& app)
{
    return app.modelUnread ? AppStatus::ModelUnread : AppStatus::NotChosen;
}

} // namespace

void NoteChoice(const Media& media)
{
    UnattendedRun& run = Run();
    run.commandsStarted = true;
    for (const AppRecord* app = media.apps.head; app; app = app->next) {
        if (app->listIndex == -1)
            continue;
        AppOutcome* outcome = AddOutcome(*app, app->selected ? AppStatus::NotReached : LeftOut(*app));
        if (!outcome)
            return;
        if (g_resume.resumed)
            TakeJournalOutcome(outcome);
    }
    for (const AppRecord* app = media.notOffered.head; app; app = app->next) {
        if (!AddOutcome(*app, AppStatus::NotOffered))
            return;
    }
    if (g_resume.resumed)
        run.startTick = GetTickCount() - g_resume.journal.seconds * MsPerSecond;
}

void NoteAppStart(const AppRecord* app)
{
    SettleRunningApps();
    const char* name = app->listIndex != -1 ? InfFileName(app->infPath) : nullptr;
    for (AppOutcome* outcome = Run().apps.head; outcome && name; outcome = outcome->next) {
        if (outcome->status == AppStatus::NotReached && lstrcmpiA(outcome->name, name) == 0) {
            outcome->status = AppStatus::Running;
            outcome->startTick = GetTickCount();
            name = nullptr;
        }
    }
}

bool WriteRunningResult(bool mustLand)
{
    UnattendedRun& run = Run();
    if (run.resultPath[0] == '\0')
        return true;
    MakeFoldersAbove(run.resultPath);
    if (WriteResult(false, ResultRetryMs) || !mustLand)
        return true;
    char message[EndMessageCapacity];
    snprintf(message, sizeof message, "the result file %s can't be written (error %lu)", run.resultPath,
             static_cast<unsigned long>(GetLastError()));
    EndUnattendedRun(EndBadAnswers, message);
    return false;
}

void WriteRunResult(ResultWait wait)
{
    UnattendedRun& run = Run();
    const RunEnd end = run.ended ? run.end : EndDone;
    if (!run.on || run.resultPath[0] == '\0' || (run.resultWritten && run.writtenEnd == end))
        return;
    SettleRunningApps();
    WriteResult(true, wait == ResultWait::ForReaders ? ResultRetryMs : 0);
}

int UnattendedExitCode()
{
    const UnattendedRun& run = Run();
    return run.ended ? run.end : EndDone;
}

// QVSETUP_RECORD keeps the INF file names of the chosen applications,
// all of them: a list too long for an answer file is recorded whole, and
// refused as too long when it is replayed, never replayed short.
void RecordChoice(const NodeList<AppRecord>& apps)
{
    size_t length = 0;
    for (const AppRecord* app = apps.head; app; app = app->next) {
        if (app->selected && app->listIndex != -1)
            length += strlen(InfFileName(app->infPath)) + 1;
    }
    if (length == 0) {
        RecordAnswer("Select", "NONE");
        return;
    }
    HeapBlock names(length);
    if (!names.get()) {
        LogEvent("the choice could not be recorded: out of memory");
        return;
    }
    for (const AppRecord* app = apps.head; app; app = app->next) {
        if (!app->selected || app->listIndex == -1)
            continue;
        if (names.get()[0] != '\0')
            strcat(names.get(), ",");
        strcat(names.get(), InfFileName(app->infPath));
    }
    RecordAnswer("Select", names.get());
}

void RecordAnswer(const char* key, const char* value)
{
    char path[PathCapacity];
    if (PathFromVariable(RecordVariable, path))
        WritePrivateProfileStringA(AnswerSection, key, value, path);
}
